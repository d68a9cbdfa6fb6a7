// The operator's signing key (ECDSA P-256): made offline by keygen, kept in a PEM
// file of mode 0600 outside every site folder, read only by sign. Its public half
// travels as one line of text, the Base64 of the point's X and Y.
#pragma once

#include "platform/Crypto.h"

#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace tandrel::admin {

std::string PublicKeyText(const platform::P256PublicKey& key);
// Throws UsageError naming option when the text is no such key.
platform::P256PublicKey ParsePublicKey(const std::string& option, std::string_view text);

class SigningKey {
 public:
  // A new key pair written to file, which must not exist yet.
  static SigningKey Generate(const std::filesystem::path& file);
  // Throws std::runtime_error when the file holds no P-256 private key.
  static SigningKey Load(const std::filesystem::path& file);
  SigningKey(SigningKey&&) noexcept;
  ~SigningKey();

  const platform::P256PublicKey& PublicKey() const { return public_; }
  platform::P256Signature Sign(std::span<const std::uint8_t> message) const;

 private:
  struct Pkey;
  explicit SigningKey(std::unique_ptr<Pkey> key);
  std::unique_ptr<Pkey> key_;
  platform::P256PublicKey public_{};
};

}  // namespace tandrel::admin
