#include "FileIo.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace tandrel {
namespace {

[[noreturn]] void Fail(const char* what, const std::filesystem::path& path, int error) {
  throw std::runtime_error(std::string(what) + " \"" + path.string() + "\". " + std::strerror(error));
}

}  // namespace

std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail("Cannot open file", path, errno);
  std::vector<std::uint8_t> bytes;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && st.st_size > 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
  std::uint8_t buffer[64 * 1024];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      ::close(fd);
      Fail("Cannot read file", path, error);
    }
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  ::close(fd);
  return bytes;
}

void WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                         std::filesystem::perms mode) {
  std::string temp = (path.parent_path() / ("." + path.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) Fail("Cannot create file", temp, errno);
  const auto fail = [&](const char* what) {
    const int error = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    Fail(what, path, error);
  };
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail("Cannot write file");
    }
    written += static_cast<std::size_t>(n);
  }
  if (::fchmod(fd, static_cast<mode_t>(mode)) != 0) fail("Cannot set the permissions of");
  if (::fsync(fd) != 0) fail("Cannot write file");
  if (::close(fd) != 0) {
    const int error = errno;
    ::unlink(temp.c_str());
    Fail("Cannot write file", path, error);
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    const int error = errno;
    ::unlink(temp.c_str());
    Fail("Cannot replace file", path, error);
  }
}

}  // namespace tandrel
