// A real program for tests that start programs: it leaves its own path in the file
// named by TANDREL_LAUNCHER_PROOF and ends.
#include <cstdio>
#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

// The path as the system reports it, in UTF-8.
std::string OwnPath() {
#ifdef _WIN32
  wchar_t wide[32768];
  const DWORD length = GetModuleFileNameW(nullptr, wide, 32768);
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string path(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), path.data(), size, nullptr, nullptr);
  return path;
#else
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self);
  return n > 0 ? std::string(self, static_cast<std::size_t>(n)) : std::string();
#endif
}

}  // namespace

int main() {
  const char* proof = std::getenv("TANDREL_LAUNCHER_PROOF");
  if (!proof) return 1;
  if (FILE* f = std::fopen(proof, "ab")) {
    std::fprintf(f, "%s\n", OwnPath().c_str());
    std::fclose(f);
  }
  return 0;
}
