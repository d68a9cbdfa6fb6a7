// Shell commands for tests of Linux programs.
#pragma once

#include <string>

namespace tandrel::test {

// Runs a command line through the shell; returns its exit status and standard output.
struct CommandResult {
  int status;
  std::string output;
};
CommandResult RunCommand(const std::string& commandLine);
std::string ShellQuote(const std::string& text);

}  // namespace tandrel::test
