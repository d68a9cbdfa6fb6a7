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

namespace {

// A temporary file beside the target, renamed over it once it is whole and on disk.
class TempFile {
 public:
  TempFile(const std::filesystem::path& target)
      : target_(target), temp_((target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string()) {
    fd_ = ::mkstemp(temp_.data());
    if (fd_ < 0) Fail("Cannot create file", target_, errno);
  }
  ~TempFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_) ::unlink(temp_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  void Write(const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
      const ssize_t n = ::write(fd_, data, size);
      if (n < 0) {
        if (errno == EINTR) continue;
        Fail("Cannot write file", target_, errno);
      }
      data += n;
      size -= static_cast<std::size_t>(n);
    }
  }

  void Commit(std::filesystem::perms mode) {
    if (::fchmod(fd_, static_cast<mode_t>(mode)) != 0) Fail("Cannot set the permissions of", target_, errno);
    if (::fsync(fd_) != 0) Fail("Cannot write file", target_, errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) Fail("Cannot write file", target_, errno);
    if (::rename(temp_.c_str(), target_.c_str()) != 0) Fail("Cannot replace file", target_, errno);
    committed_ = true;
  }

 private:
  std::filesystem::path target_;
  std::string temp_;
  int fd_ = -1;
  bool committed_ = false;
};

}  // namespace

void WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                         std::filesystem::perms mode) {
  TempFile file(path);
  file.Write(bytes.data(), bytes.size());
  file.Commit(mode);
}

void EnsureFolder(const std::filesystem::path& folder) {
  std::error_code error;
  if (std::filesystem::is_directory(folder, error)) return;
  std::filesystem::create_directories(folder, error);
  if (error) throw std::runtime_error("Cannot create folder \"" + folder.string() + "\". " + error.message());
}

void CopyFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to,
                        std::filesystem::perms mode) {
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) Fail("Cannot open file", from, errno);
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{in};
  TempFile file(to);
  std::vector<std::uint8_t> buffer(1 << 20);
  for (;;) {
    const ssize_t n = ::read(in, buffer.data(), buffer.size());
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("Cannot read file", from, errno);
    }
    file.Write(buffer.data(), static_cast<std::size_t>(n));
  }
  file.Commit(mode);
}

}  // namespace tandrel
