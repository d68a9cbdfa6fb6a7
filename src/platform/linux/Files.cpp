#include "../Files.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tandrel::platform {
namespace {

[[noreturn]] void Fail(const char* what, const std::filesystem::path& path, int error) {
  throw std::runtime_error(std::string(what) + " \"" + path.string() + "\". " + std::strerror(error));
}

class PosixInputFile final : public InputFile {
 public:
  explicit PosixInputFile(const std::filesystem::path& path)
      : path_(path), fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    if (fd_ < 0) Fail("Cannot open file", path_, errno);
    ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
  }
  ~PosixInputFile() override { ::close(fd_); }
  PosixInputFile(const PosixInputFile&) = delete;
  PosixInputFile& operator=(const PosixInputFile&) = delete;

  std::size_t Read(std::span<std::uint8_t> buffer) override {
    for (;;) {
      const ssize_t n = ::read(fd_, buffer.data(), buffer.size());
      if (n >= 0) return static_cast<std::size_t>(n);
      if (errno != EINTR) Fail("Cannot read file", path_, errno);
    }
  }

 private:
  std::filesystem::path path_;
  int fd_;
};

class PosixReplacementFile final : public ReplacementFile {
 public:
  explicit PosixReplacementFile(const std::filesystem::path& target)
      : target_(target), temp_((target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string()) {
    fd_ = ::mkstemp(temp_.data());
    if (fd_ < 0) Fail("Cannot create file", target_, errno);
  }
  // A part file, kept when not committed.
  PosixReplacementFile(const std::filesystem::path& part, const std::filesystem::path& target, std::uint64_t keep)
      : target_(target), temp_(part.string()), kept_(true) {
    fd_ = ::open(temp_.c_str(), O_WRONLY | O_CLOEXEC | (keep > 0 ? 0 : O_CREAT), 0644);
    if (fd_ < 0) Fail(keep > 0 ? "Cannot open file" : "Cannot create file", part, errno);
    struct stat status {};
    int error = 0;
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd_, &status) != 0) {
      error = errno;
    } else if (static_cast<std::uint64_t>(status.st_size) < keep) {
      error = ENODATA;
    } else if (::ftruncate(fd_, static_cast<off_t>(keep)) != 0 ||
               ::lseek(fd_, static_cast<off_t>(keep), SEEK_SET) < 0) {
      error = errno;
    }
    if (error != 0) {
      ::close(fd_);
      Fail("Cannot write file", part, error);
    }
  }
  ~PosixReplacementFile() override {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_ && !kept_) ::unlink(temp_.c_str());
  }
  PosixReplacementFile(const PosixReplacementFile&) = delete;
  PosixReplacementFile& operator=(const PosixReplacementFile&) = delete;

  void Write(std::span<const std::uint8_t> bytes) override {
    const std::uint8_t* data = bytes.data();
    std::size_t size = bytes.size();
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

  void Commit(std::filesystem::perms mode, bool flush) override {
    if (::fchmod(fd_, static_cast<mode_t>(mode)) != 0) Fail("Cannot set the permissions of", target_, errno);
    if (flush && ::fsync(fd_) != 0) Fail("Cannot write file", target_, errno);
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
  bool kept_ = false;
};

}  // namespace

std::unique_ptr<InputFile> OpenInputFile(const std::filesystem::path& path) {
  return std::make_unique<PosixInputFile>(path);
}

std::unique_ptr<ReplacementFile> CreateReplacementFile(const std::filesystem::path& target) {
  return std::make_unique<PosixReplacementFile>(target);
}

std::unique_ptr<ReplacementFile> OpenPartFile(const std::filesystem::path& part, const std::filesystem::path& target,
                                              std::uint64_t keep) {
  return std::make_unique<PosixReplacementFile>(part, target, keep);
}

}  // namespace tandrel::platform
