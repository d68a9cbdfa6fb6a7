// The box's cryptography: the file digest that identifies launchers and the box
// itself to the service.
#pragma once

#include <cstddef>
#include <string>

namespace tandrel {

// Read size of the digest; constant memory whatever the file's size.
inline constexpr std::size_t kDigestBufferSize = 64 * 1024;

// MD5 of the whole file as 32 lowercase hexadecimal characters. The file is opened
// read-only and not locked. Throws std::runtime_error naming the path and the
// system's reason when it cannot be opened or read; never a partial digest.
std::string GetFileMd5(const std::string& path);

}  // namespace tandrel
