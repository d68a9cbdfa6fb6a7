#include "FileIo.h"

#include "Paths.h"
#include "platform/Charsets.h"
#include "platform/Files.h"

#include <stdexcept>
#include <string>

namespace tandrel {

void ReadFileInPieces(const std::filesystem::path& path, std::size_t pieceSize,
                      const std::function<void(const std::uint8_t* data, std::size_t size)>& consume) {
  const std::unique_ptr<platform::InputFile> file = platform::OpenInputFile(path);
  std::vector<std::uint8_t> buffer(pieceSize);  // one buffer, reused: constant memory
  while (const std::size_t n = file->Read(buffer)) consume(buffer.data(), n);
}

std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path) {
  std::vector<std::uint8_t> bytes;
  std::error_code unknown;
  if (const auto size = std::filesystem::file_size(path, unknown); !unknown) bytes.reserve(size);
  ReadFileInPieces(path, std::size_t{64} * 1024,
                   [&](const std::uint8_t* data, std::size_t size) { bytes.insert(bytes.end(), data, data + size); });
  return bytes;
}

void WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                         std::filesystem::perms mode) {
  const std::unique_ptr<platform::ReplacementFile> file = platform::CreateReplacementFile(path);
  file->Write(bytes);
  file->Commit(mode);
}

void EnsureFolder(const std::filesystem::path& folder) {
  std::error_code error;
  if (std::filesystem::is_directory(folder, error)) return;
  std::filesystem::create_directories(folder, error);
  if (error)
    throw std::runtime_error("Cannot create folder \"" + Utf8FromPath(folder) + "\". " +
                             platform::ErrorCodeText(error));
}

void CopyFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to,
                        std::filesystem::perms mode) {
  const std::unique_ptr<platform::ReplacementFile> file = platform::CreateReplacementFile(to);
  ReadFileInPieces(from, 1 << 20, [&](const std::uint8_t* data, std::size_t size) { file->Write({data, size}); });
  file->Commit(mode);
}

}  // namespace tandrel
