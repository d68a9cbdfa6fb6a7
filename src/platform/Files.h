// Reading and writing files the way the box needs it: reads that never lock
// others out, and writes that never leave a half-written file under the real name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

namespace tandrel::platform {

// A file opened read-only, without locking others out; closed when destroyed.
class InputFile {
 public:
  virtual ~InputFile() = default;
  // Fills the start of buffer; 0 at the end of the file. Throws std::runtime_error
  // naming the path and the system's reason.
  virtual std::size_t Read(std::span<std::uint8_t> buffer) = 0;
};

// Throws std::runtime_error naming the path and the system's reason.
std::unique_ptr<InputFile> OpenInputFile(const std::filesystem::path& path);

// A new file that takes the place of its target only when it is whole: it is
// written under a temporary name ".<target's name>.XXXXXX" beside the target and
// removed unless committed.
class ReplacementFile {
 public:
  virtual ~ReplacementFile() = default;
  virtual void Write(std::span<const std::uint8_t> bytes) = 0;
  // Sets the mode (where the system has modes), flushes the file to disk (unless
  // told not to: a file checked again before every use) and renames it over the
  // target. On Linux the rename also replaces an executable that is still
  // running; Windows refuses it, and the commit throws.
  virtual void Commit(std::filesystem::perms mode, bool flush = true) = 0;
};

// Every failure throws std::runtime_error naming the target and the system's reason.
std::unique_ptr<ReplacementFile> CreateReplacementFile(const std::filesystem::path& target);

// A download's part file: written under its own name, which outlives the writer
// (a later attempt continues it), cut to its first keep bytes and continued from
// there; committing renames it over target. While it is open no other writer
// opens it (another box's download of the same file waits its turn). With keep
// above 0 the file must hold at least keep bytes: a part file that went or
// shrank meanwhile is never made up with zeros. Failures throw as above.
std::unique_ptr<ReplacementFile> OpenPartFile(const std::filesystem::path& part, const std::filesystem::path& target,
                                              std::uint64_t keep);

}  // namespace tandrel::platform
