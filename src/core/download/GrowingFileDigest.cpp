#include "GrowingFileDigest.h"

#include "platform/Files.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

namespace tandrel::download {
namespace {

constexpr std::size_t kPiece = std::size_t{1} << 20;

}  // namespace

GrowingFileDigest::GrowingFileDigest(std::filesystem::path path, Update update)
    : path_(std::move(path)), update_(std::move(update)), thread_([this] { Run(); }) {}

GrowingFileDigest::~GrowingFileDigest() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void GrowingFileDigest::Written(std::uint64_t size) {
  {
    std::lock_guard lock(mutex_);
    written_ = std::max(written_, size);
  }
  changed_.notify_all();
}

void GrowingFileDigest::Finish(std::uint64_t size) {
  Written(size);
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return hashed_ >= size || failure_; });
  if (hashed_ < size) throw std::runtime_error(*failure_);
}

void GrowingFileDigest::Run() {
  std::unique_ptr<platform::InputFile> file;
  std::vector<std::uint8_t> buffer(kPiece);
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return stopping_ || written_ > hashed_; });
    if (stopping_) return;
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(kPiece, written_ - hashed_));
    lock.unlock();
    std::size_t got = 0;
    std::optional<std::string> failure;
    try {
      if (!file) file = platform::OpenInputFile(path_);
      got = file->Read(std::span(buffer.data(), want));
      if (got == 0) failure = "The part file is shorter than what was written to it";
      else update_(std::span<const std::uint8_t>(buffer.data(), got));
    } catch (const std::runtime_error& e) {
      failure = e.what();
    }
    lock.lock();
    if (failure) {
      failure_ = std::move(failure);
      changed_.notify_all();
      return;
    }
    hashed_ += got;
    changed_.notify_all();
  }
}

}  // namespace tandrel::download
