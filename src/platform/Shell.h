// Starting other programs the way the desktop does: as programs of their own,
// which the box neither waits for nor keeps anything of.
#pragma once

#include <filesystem>
#include <string>

namespace tandrel::platform {

class Shell {
 public:
  virtual ~Shell() = default;
  // Starts an executable without arguments, detached from the box. Throws
  // std::runtime_error with the system's text when it cannot be started (on
  // Windows explorer starts it: only a request the shell refuses is seen).
  virtual void StartProgram(const std::filesystem::path& executable) = 0;
  // Opens a web address with the desktop's default handler. Callers pass http and
  // https addresses only; Windows opens nothing else, as its shell would run a
  // program named there.
  virtual void OpenWebAddress(const std::string& url) = 0;
};

// The running system's shell.
Shell& SystemShell();

}  // namespace tandrel::platform
