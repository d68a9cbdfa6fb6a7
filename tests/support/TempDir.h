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

// Sets a variable of the test's own environment, which the programs it starts inherit.
void SetEnvironment(const std::string& name, const std::string& value);

// The name a program file has on this system: "box" is "box.exe" on Windows.
std::string ProgramFileName(const std::string& name);

}  // namespace tandrel::test
