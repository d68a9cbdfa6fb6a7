#include "platform/Files.h"

#include "WideText.h"

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>

namespace tandrel::platform {
namespace {

[[noreturn]] void Fail(const char* what, const std::filesystem::path& path, DWORD error) {
  throw std::runtime_error(std::string(what) + " \"" + Narrow(path.wstring()) + "\". " + SystemErrorText(error));
}

// Reads and writes go in pieces a DWORD can count.
constexpr std::size_t kPiece = std::size_t{1} << 30;

class WindowsInputFile final : public InputFile {
 public:
  // Others may go on reading, writing, renaming or deleting the file meanwhile.
  explicit WindowsInputFile(const std::filesystem::path& path)
      : path_(path),
        handle_(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)) {
    if (handle_ == INVALID_HANDLE_VALUE) Fail("Cannot open file", path_, GetLastError());
  }
  ~WindowsInputFile() override { CloseHandle(handle_); }
  WindowsInputFile(const WindowsInputFile&) = delete;
  WindowsInputFile& operator=(const WindowsInputFile&) = delete;

  std::size_t Read(std::span<std::uint8_t> buffer) override {
    DWORD read = 0;
    const auto size = static_cast<DWORD>(std::min(kPiece, buffer.size()));
    if (!ReadFile(handle_, buffer.data(), size, &read, nullptr)) Fail("Cannot read file", path_, GetLastError());
    return read;
  }

 private:
  std::filesystem::path path_;
  HANDLE handle_;
};

std::wstring RandomSuffix(std::mt19937& random) {
  constexpr wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::uniform_int_distribution<std::size_t> pick(0, std::size(kLetters) - 2);
  std::wstring suffix;
  for (int i = 0; i < 6; ++i) suffix += kLetters[pick(random)];
  return suffix;
}

class WindowsReplacementFile final : public ReplacementFile {
 public:
  explicit WindowsReplacementFile(const std::filesystem::path& target) : target_(target) {
    std::random_device seed;
    std::mt19937 random(seed());
    const std::wstring stem = L"." + target.filename().wstring() + L".";
    for (int attempt = 0; attempt < 100 && handle_ == INVALID_HANDLE_VALUE; ++attempt) {
      temp_ = target.parent_path() / (stem + RandomSuffix(random));
      handle_ = CreateFileW(temp_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (handle_ == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (handle_ == INVALID_HANDLE_VALUE) Fail("Cannot create file", target_, GetLastError());
  }
  // A part file, kept when not committed. Others may read it meanwhile.
  WindowsReplacementFile(const std::filesystem::path& part, const std::filesystem::path& target, std::uint64_t keep)
      : target_(target), temp_(part), kept_(true) {
    // No write sharing: no other writer while this one has it.
    handle_ = CreateFileW(part.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                          keep > 0 ? OPEN_EXISTING : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE)
      Fail(keep > 0 ? "Cannot open file" : "Cannot create file", part, GetLastError());
    LARGE_INTEGER size, at;
    at.QuadPart = static_cast<LONGLONG>(keep);
    DWORD error = ERROR_SUCCESS;
    if (!GetFileSizeEx(handle_, &size)) error = GetLastError();
    else if (static_cast<std::uint64_t>(size.QuadPart) < keep) error = ERROR_HANDLE_EOF;
    else if (!SetFilePointerEx(handle_, at, nullptr, FILE_BEGIN) || !SetEndOfFile(handle_)) error = GetLastError();
    if (error != ERROR_SUCCESS) {
      CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE));
      Fail("Cannot write file", part, error);
    }
  }
  ~WindowsReplacementFile() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    if (!committed_ && !kept_) DeleteFileW(temp_.c_str());
  }
  WindowsReplacementFile(const WindowsReplacementFile&) = delete;
  WindowsReplacementFile& operator=(const WindowsReplacementFile&) = delete;

  void Write(std::span<const std::uint8_t> bytes) override {
    while (!bytes.empty()) {
      DWORD written = 0;
      const auto size = static_cast<DWORD>(std::min(kPiece, bytes.size()));
      if (!WriteFile(handle_, bytes.data(), size, &written, nullptr))
        Fail("Cannot write file", target_, GetLastError());
      bytes = bytes.subspan(written);
    }
  }

  // Modes mean nothing to Windows: every file may be run.
  void Commit(std::filesystem::perms, bool flush) override {
    if (flush && !FlushFileBuffers(handle_)) Fail("Cannot write file", target_, GetLastError());
    const HANDLE handle = std::exchange(handle_, INVALID_HANDLE_VALUE);
    if (!CloseHandle(handle)) Fail("Cannot write file", target_, GetLastError());
    if (!MoveFileExW(temp_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      Fail("Cannot replace file", target_, GetLastError());
    }
    committed_ = true;
  }

 private:
  std::filesystem::path target_;
  std::filesystem::path temp_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  bool committed_ = false;
  bool kept_ = false;
};

}  // namespace

std::unique_ptr<InputFile> OpenInputFile(const std::filesystem::path& path) {
  return std::make_unique<WindowsInputFile>(path);
}

std::unique_ptr<ReplacementFile> CreateReplacementFile(const std::filesystem::path& target) {
  return std::make_unique<WindowsReplacementFile>(target);
}

std::unique_ptr<ReplacementFile> OpenPartFile(const std::filesystem::path& part, const std::filesystem::path& target,
                                              std::uint64_t keep) {
  return std::make_unique<WindowsReplacementFile>(part, target, keep);
}

}  // namespace tandrel::platform
