// A shell that the system refuses: it starts and opens nothing, says why, and
// writes down what it was asked.
#pragma once

#include "platform/Shell.h"

#include <string>
#include <vector>

namespace tandrel::test {

struct RefusingShell final : platform::Shell {
  static constexpr const char* kWords = "The system cannot find the file specified.";
  platform::ShellRefusal StartProgram(const std::filesystem::path& executable) override {
    asked.push_back(executable.string());
    return std::string("Cannot start \"") + executable.string() + "\". " + kWords;
  }
  platform::ShellRefusal OpenWebAddress(const std::string& url) override {
    asked.push_back(url);
    return "Cannot open \"" + url + "\". " + kWords;
  }
  std::vector<std::string> asked;
};

}  // namespace tandrel::test
