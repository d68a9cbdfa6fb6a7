// Starting other programs the way the desktop does: as programs of their own,
// which the box neither waits for nor keeps anything of.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tandrel::platform {

// Why the system did not start or open what it was given, in its own words;
// nothing when it did.
using ShellRefusal = std::optional<std::string>;

class Shell {
 public:
  virtual ~Shell() = default;
  // Starts an executable without arguments, detached from the box (on Windows
  // explorer starts it: only a request the shell refuses is seen).
  [[nodiscard]] virtual ShellRefusal StartProgram(const std::filesystem::path& executable) = 0;
  // Opens a web address with the desktop's default handler. Callers pass http and
  // https addresses only; Windows opens nothing else, as its shell would run a
  // program named there.
  [[nodiscard]] virtual ShellRefusal OpenWebAddress(const std::string& url) = 0;
};

// The running system's shell.
Shell& SystemShell();

}  // namespace tandrel::platform
