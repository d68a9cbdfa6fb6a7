// The site settings block: one contiguous run of bytes inside the executable that
// holds everything that differs between operators. The operator tool finds it by
// its marker and rewrites it in a built binary, so its layout is fixed here once.
#pragma once

#include "platform/Crypto.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel::site {

inline constexpr std::size_t kFieldSize = 150;  // each text setting, code page 936, space-filled
inline constexpr std::size_t kSecretSize = 16;  // ConfigKey and ConfigIV
inline constexpr std::size_t kAuthSize = 94;    // "Basic " + 88 Base64 characters

// v2: the trust fields follow the v1 fields; a v1 box is no block of this layout.
inline constexpr std::string_view kMarker = "\x7FTandrel site settings block v2\x7F";
inline constexpr std::size_t kMarkerSize = kMarker.size();

inline constexpr std::size_t kServerUrlAt = kMarkerSize;
inline constexpr std::size_t kShortcutNameAt = kServerUrlAt + kFieldSize;
inline constexpr std::size_t kInstallDirNameAt = kShortcutNameAt + kFieldSize;
inline constexpr std::size_t kTraceTagAt = kInstallDirNameAt + kFieldSize;
inline constexpr std::size_t kConfigKeyAt = kTraceTagAt + kFieldSize;
inline constexpr std::size_t kConfigIvAt = kConfigKeyAt + kSecretSize;
inline constexpr std::size_t kAuthHeaderAt = kConfigIvAt + kSecretSize;
// The operator's trust: two ECDSA P-256 public keys (the current one and a
// standby), the site's id and the box's floor, the lowest release serial it takes.
// All zero: a box without trust keys.
inline constexpr std::size_t kTrustKeySize = 64;
inline constexpr std::size_t kTrustKeysAt = kAuthHeaderAt + kAuthSize;
inline constexpr std::size_t kSiteIdAt = kTrustKeysAt + 2 * kTrustKeySize;
inline constexpr std::size_t kFloorAt = kSiteIdAt + kSecretSize;
// Up to three mirrors' base URLs, as text fields. They follow the floor behind a
// tag of their own, so that a box which knows only the fields before them (an
// older box checking a new one) still finds all of those where they were, and a
// block without the tag has no mirrors.
inline constexpr std::string_view kMirrorsTag = "\x7Fmirrors\x7F";
inline constexpr std::size_t kMirrorsTagAt = kFloorAt + 8;
inline constexpr std::size_t kMirrorCount = 3;
inline constexpr std::size_t kMirrorsAt = kMirrorsTagAt + kMirrorsTag.size();
inline constexpr std::size_t kBlockSize = kMirrorsAt + kMirrorCount * kFieldSize;

using Block = std::array<std::uint8_t, kBlockSize>;
using Secret = std::array<std::uint8_t, kSecretSize>;

struct Trust {
  std::array<platform::P256PublicKey, 2> keys{};  // current, standby
  Secret siteId{};
  std::uint64_t floor = 0;
  bool Stamped() const { return keys != decltype(keys){}; }
  bool operator==(const Trust&) const = default;
};

// A block's values as the operator sees them. The texts are UTF-8, untrimmed.
struct Settings {
  std::string serverUrl;
  std::string shortcutName;
  std::string installDirName;
  std::string traceTag;
  Secret configKey{};
  Secret configIv{};
  std::string authHeaderValue;
  Trust trust;
  std::vector<std::string> mirrors;  // trimmed, none empty, at most kMirrorCount
};

// Builds a block. Throws std::invalid_argument with the operator's reason when a
// value cannot be stored: a text that has no code page 936 form or is longer than
// 150 bytes in it, an "Authorization" value that is not exactly 94 bytes, or
// more mirrors than fit.
Block Encode(const Settings& settings);

// Reading cannot fail: undecodable bytes read as U+FFFD.
Settings Decode(std::span<const std::uint8_t, kBlockSize> block);

// The offset of the one block in an executable image. Throws std::invalid_argument
// when the image holds no marker or more than one.
std::size_t Find(std::span<const std::uint8_t> image);

// The value of an "Authorization" header for HTTP Basic credentials.
std::string BasicAuthorization(std::string_view user, std::string_view password);

struct Credentials {
  std::string user;
  std::string password;
};
// The credentials inside a Basic "Authorization" value; nothing when it is none.
std::optional<Credentials> ParseBasicAuthorization(std::string_view value);

}  // namespace tandrel::site
