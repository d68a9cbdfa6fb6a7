#include "SiteBlock.h"

#include "TextCodec.h"
#include "platform/Crypto.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace tandrel::site {
namespace {

void PutText(Block& block, std::size_t at, std::string_view name, const std::string& value) {
  std::string bytes;
  try {
    bytes = Utf8ToCp936(value);
  } catch (const std::runtime_error&) {
    throw std::invalid_argument(std::string(name) + ": the text has characters that code page 936 cannot hold");
  }
  if (bytes.size() > kFieldSize) {
    throw std::invalid_argument(std::string(name) + ": the text takes " + std::to_string(bytes.size()) +
                                " bytes in code page 936; at most 150 fit");
  }
  std::fill_n(block.begin() + at, kFieldSize, ' ');
  std::copy(bytes.begin(), bytes.end(), block.begin() + at);
}

// The marker must stand in a binary only inside its block, yet the search needs
// it too: it is kept masked here and unmasked at run time.
constexpr std::uint8_t kMask = 0xA5;
constexpr auto kMaskedMarker = [] {
  std::array<std::uint8_t, kMarkerSize> masked{};
  for (std::size_t i = 0; i < kMarkerSize; ++i) masked[i] = static_cast<std::uint8_t>(kMarker[i]) ^ kMask;
  return masked;
}();

std::array<std::uint8_t, kMarkerSize> UnmaskedMarker() {
  static const std::array<std::uint8_t, kMarkerSize> masked = kMaskedMarker;
  const volatile std::uint8_t* bytes = masked.data();  // keeps the compiler from unmasking it at build time
  std::array<std::uint8_t, kMarkerSize> marker;
  for (std::size_t i = 0; i < kMarkerSize; ++i) marker[i] = bytes[i] ^ kMask;
  return marker;
}

std::string GetText(std::span<const std::uint8_t, kBlockSize> block, std::size_t at) {
  return Cp936ToUtf8(std::string_view(reinterpret_cast<const char*>(block.data() + at), kFieldSize));
}

}  // namespace

Block Encode(const Settings& settings) {
  if (settings.authHeaderValue.size() != kAuthSize) {
    throw std::invalid_argument("Authorization: the value must be \"Basic \" followed by 88 Base64 characters");
  }
  Block block{};
  const auto marker = UnmaskedMarker();
  std::copy(marker.begin(), marker.end(), block.begin());
  PutText(block, kServerUrlAt, "server URL", settings.serverUrl);
  PutText(block, kShortcutNameAt, "shortcut name", settings.shortcutName);
  PutText(block, kInstallDirNameAt, "install folder name", settings.installDirName);
  PutText(block, kTraceTagAt, "trace tag", settings.traceTag);
  std::copy(settings.configKey.begin(), settings.configKey.end(), block.begin() + kConfigKeyAt);
  std::copy(settings.configIv.begin(), settings.configIv.end(), block.begin() + kConfigIvAt);
  std::copy(settings.authHeaderValue.begin(), settings.authHeaderValue.end(), block.begin() + kAuthHeaderAt);
  for (std::size_t k = 0; k < 2; ++k) {
    std::copy(settings.trust.keys[k].begin(), settings.trust.keys[k].end(),
              block.data() + kTrustKeysAt + k * kTrustKeySize);
  }
  std::copy(settings.trust.siteId.begin(), settings.trust.siteId.end(), block.begin() + kSiteIdAt);
  for (std::size_t i = 0; i < 8; ++i) block[kFloorAt + i] = static_cast<std::uint8_t>(settings.trust.floor >> (8 * i));
  if (settings.mirrors.size() > kMirrorCount) {
    throw std::invalid_argument("mirrors: at most " + std::to_string(kMirrorCount) + " fit");
  }
  std::copy(kMirrorsTag.begin(), kMirrorsTag.end(), block.begin() + kMirrorsTagAt);
  for (std::size_t m = 0; m < kMirrorCount; ++m) {
    PutText(block, kMirrorsAt + m * kFieldSize, "mirror", m < settings.mirrors.size() ? settings.mirrors[m] : "");
  }
  return block;
}

Settings Decode(std::span<const std::uint8_t, kBlockSize> block) {
  Settings s;
  s.serverUrl = GetText(block, kServerUrlAt);
  s.shortcutName = GetText(block, kShortcutNameAt);
  s.installDirName = GetText(block, kInstallDirNameAt);
  s.traceTag = GetText(block, kTraceTagAt);
  std::copy_n(block.begin() + kConfigKeyAt, kSecretSize, s.configKey.begin());
  std::copy_n(block.begin() + kConfigIvAt, kSecretSize, s.configIv.begin());
  s.authHeaderValue.assign(reinterpret_cast<const char*>(block.data() + kAuthHeaderAt), kAuthSize);
  for (std::size_t k = 0; k < 2; ++k) {
    std::copy_n(block.data() + kTrustKeysAt + k * kTrustKeySize, kTrustKeySize, s.trust.keys[k].begin());
  }
  std::copy_n(block.begin() + kSiteIdAt, kSecretSize, s.trust.siteId.begin());
  for (std::size_t i = 0; i < 8; ++i) s.trust.floor |= std::uint64_t{block[kFloorAt + i]} << (8 * i);
  if (std::equal(kMirrorsTag.begin(), kMirrorsTag.end(), block.begin() + kMirrorsTagAt)) {
    for (std::size_t m = 0; m < kMirrorCount; ++m) {
      const std::string mirror(TrimControl(GetText(block, kMirrorsAt + m * kFieldSize)));
      if (!mirror.empty()) s.mirrors.push_back(mirror);
    }
  }
  return s;
}

std::size_t Find(std::span<const std::uint8_t> image) {
  const auto marker = UnmaskedMarker();
  auto first = std::search(image.begin(), image.end(), marker.begin(), marker.end());
  if (first == image.end()) throw std::invalid_argument("the file holds no site settings block");
  if (std::search(first + 1, image.end(), marker.begin(), marker.end()) != image.end()) {
    throw std::invalid_argument("the file holds more than one site settings marker");
  }
  const auto at = static_cast<std::size_t>(first - image.begin());
  if (image.size() - at < kBlockSize) throw std::invalid_argument("the site settings block is cut off");
  return at;
}

std::string BasicAuthorization(std::string_view user, std::string_view password) {
  const std::string plain = std::string(user) + ":" + std::string(password);
  return "Basic " + platform::Base64Encode({reinterpret_cast<const std::uint8_t*>(plain.data()), plain.size()});
}

std::optional<Credentials> ParseBasicAuthorization(std::string_view value) {
  constexpr std::string_view kScheme = "Basic ";
  if (!value.starts_with(kScheme)) return std::nullopt;
  const auto decoded = platform::Base64Decode(value.substr(kScheme.size()));
  if (!decoded) return std::nullopt;
  const std::string plain(decoded->begin(), decoded->end());
  const std::size_t colon = plain.find(':');
  if (colon == std::string::npos) return std::nullopt;
  return Credentials{plain.substr(0, colon), plain.substr(colon + 1)};
}

}  // namespace tandrel::site
