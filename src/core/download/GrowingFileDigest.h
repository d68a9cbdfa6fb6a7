// The digest of a file while it is being written, taken on a thread of its own
// from what the file holds: the writer says how far it has written, the thread
// reads and hashes up to there. Receiving and writing never wait for the hash,
// and the hash covers the bytes on disk, kept ones included.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>

namespace tandrel::download {

class GrowingFileDigest {
 public:
  using Update = std::function<void(std::span<const std::uint8_t>)>;

  // Reads path from its start and hands each piece to update, on its thread.
  GrowingFileDigest(std::filesystem::path path, Update update);
  // Stops at once: what was not hashed yet is not.
  ~GrowingFileDigest();
  GrowingFileDigest(const GrowingFileDigest&) = delete;
  GrowingFileDigest& operator=(const GrowingFileDigest&) = delete;

  // The file holds at least size bytes now.
  void Written(std::uint64_t size);
  // Waits until the first size bytes are hashed. Throws std::runtime_error when
  // the file could not be read that far.
  void Finish(std::uint64_t size);

 private:
  void Run();

  std::filesystem::path path_;
  Update update_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::uint64_t written_ = 0;
  std::uint64_t hashed_ = 0;
  bool stopping_ = false;
  std::optional<std::string> failure_;
  std::thread thread_;  // last: it starts once everything it uses is there
};

}  // namespace tandrel::download
