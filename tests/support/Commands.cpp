#include "Commands.h"

#include <array>
#include <cstdio>
#include <stdexcept>
#include <sys/wait.h>

namespace tandrel::test {

CommandResult RunCommand(const std::string& commandLine) {
  FILE* pipe = ::popen(commandLine.c_str(), "r");
  if (!pipe) throw std::runtime_error("cannot run " + commandLine);
  std::string output;
  std::array<char, 4096> buffer;
  size_t n;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), n);
  const int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') quoted += "'\\''";
    else quoted += c;
  }
  return quoted + "'";
}

}  // namespace tandrel::test
