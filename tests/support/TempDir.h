#pragma once

#include <filesystem>
#include <string>

namespace tandrel::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

void WriteFile(const std::filesystem::path& path, const std::string& bytes);
std::string ReadFile(const std::filesystem::path& path);

// Runs a command line through the shell; returns its exit status and standard output.
struct CommandResult {
  int status;
  std::string output;
};
CommandResult RunCommand(const std::string& commandLine);
std::string ShellQuote(const std::string& text);

}  // namespace tandrel::test
