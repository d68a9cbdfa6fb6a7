// What tells a file's change without reading it: the inode and the nanosecond
// change time as well as size and modification time. Rewriting a file in place and
// setting its old modification time back still moves its change time, which no
// one can set; replacing it by rename gives another inode.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>

namespace tandrel::admin {

struct FileStamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  std::int64_t modifiedNs = 0;
  std::int64_t changedNs = 0;
  bool operator==(const FileStamp&) const = default;
};

inline std::int64_t Nanoseconds(const timespec& t) { return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec; }

inline FileStamp StampOf(const struct stat& s) {
  return {s.st_dev, s.st_ino, s.st_size, Nanoseconds(s.st_mtim), Nanoseconds(s.st_ctim)};
}

inline std::optional<FileStamp> StampOf(const std::filesystem::path& path) {
  struct stat s {};
  if (::stat(path.c_str(), &s) != 0) return std::nullopt;
  return StampOf(s);
}

// Two writes within one tick of the file system's clock leave the same stamp (the
// clock behind file times is coarse, on some file systems whole seconds): a stamp
// this young is not trusted, and the content is compared instead.
inline bool IsRacy(const FileStamp& stamp) {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return Nanoseconds(now) - stamp.changedNs < 2'000'000'000;
}

}  // namespace tandrel::admin
