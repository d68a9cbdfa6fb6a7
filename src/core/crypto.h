// The box's cryptography: the file digest that identifies launchers and the box
// itself to the service, and the decryption of the server list.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tandrel {

// Read size of the digest; constant memory whatever the file's size.
inline constexpr std::size_t kDigestBufferSize = 64 * 1024;

// MD5 of the whole file (the path is UTF-8) as 32 lowercase hexadecimal characters. The file is opened
// read-only and not locked. Throws std::runtime_error naming the path and the
// system's reason when it cannot be opened or read; never a partial digest.
std::string GetFileMd5(const std::string& path);

// MD5 of bytes held in memory, in the same form.
std::string GetBytesMd5(std::span<const std::uint8_t> bytes);

using AesKey = std::array<std::uint8_t, 16>;

// AES-128 in the list's CBCx mode: the whole 16-byte blocks as in CBC, then the
// trailing bytes in 8-bit CFB with the register starting at the last whole
// ciphertext block (at the IV when there is none). No padding is checked or
// removed: the output is exactly as long as the input. Works in place on the
// body it is given. Never fails.
std::vector<std::uint8_t> DecryptServerList(std::vector<std::uint8_t> body, const AesKey& key, const AesKey& iv);

// AES-128-CBC with PKCS#7 padding, byte for byte what `openssl enc -aes-128-cbc`
// writes; the operator's side of the list.
std::vector<std::uint8_t> EncryptServerList(std::span<const std::uint8_t> plain, const AesKey& key, const AesKey& iv);

}  // namespace tandrel
