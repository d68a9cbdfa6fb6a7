#include "Share.h"

#include "Hutil32.h"
#include "TextCodec.h"

#include <algorithm>
#include <cstring>

namespace tandrel {
namespace {

using namespace site;

// The unstamped build's values; operators stamp their own with tandrel-admin.
constexpr std::string_view kDefaultServerUrl = "http://127.0.0.1:8780/";
constexpr std::string_view kDefaultName = "Corvessa";
constexpr std::string_view kDefaultTraceTag = "1000001";
constexpr Secret kDefaultKey = {0x3b, 0x91, 0x5e, 0xc2, 0x07, 0xa4, 0x68, 0xdd,
                                0x1f, 0x83, 0x4a, 0xe6, 0x92, 0x2c, 0x75, 0xb0};
constexpr Secret kDefaultIv = {0xa6, 0x0d, 0x47, 0xf9, 0x31, 0xbc, 0x58, 0x0e,
                               0xe3, 0x74, 0x29, 0x9a, 0xc5, 0x16, 0x8f, 0x62};
constexpr std::string_view kDefaultAuth =
    "Basic N2YzYzFhOWU1MmQwNGI2OGExZTljM2YwZDJiN2U4NDU6YzBkOWUyYTdiNGYxODM2ZDVlMGE5YzdiMmY0ZDFlNjg=";
static_assert(kDefaultAuth.size() == kAuthSize);

struct RawBlock {
  std::uint8_t bytes[kBlockSize];
};

constexpr void Put(RawBlock& b, std::size_t at, std::string_view text, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) b.bytes[at + i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : ' ';
}

constexpr RawBlock DefaultBlock() {
  RawBlock b{};
  Put(b, 0, kMarker, kMarkerSize);
  Put(b, kServerUrlAt, kDefaultServerUrl, kFieldSize);
  Put(b, kShortcutNameAt, kDefaultName, kFieldSize);
  Put(b, kInstallDirNameAt, kDefaultName, kFieldSize);
  Put(b, kTraceTagAt, kDefaultTraceTag, kFieldSize);
  for (std::size_t i = 0; i < kSecretSize; ++i) {
    b.bytes[kConfigKeyAt + i] = kDefaultKey[i];
    b.bytes[kConfigIvAt + i] = kDefaultIv[i];
  }
  Put(b, kAuthHeaderAt, kDefaultAuth, kAuthSize);
  Put(b, kMirrorsTagAt, kMirrorsTag, kMirrorsTag.size());
  for (std::size_t m = 0; m < kMirrorCount; ++m) Put(b, kMirrorsAt + m * kFieldSize, "", kFieldSize);
  return b;
}

// volatile: a stamped binary has other bytes here than the compiler saw, so every
// read must really load them instead of using the folded default.
[[gnu::used]] volatile RawBlock gSiteBlock = DefaultBlock();

Block ReadBlock() {
  Block copy;
  for (std::size_t i = 0; i < kBlockSize; ++i) copy[i] = gSiteBlock.bytes[i];
  return copy;
}

std::string ReadTrimmed(std::size_t at) {
  const Block block = ReadBlock();
  const std::string text = Cp936ToUtf8(std::string_view(reinterpret_cast<const char*>(block.data() + at), kFieldSize));
  return std::string(TrimControl(text));
}

Secret ReadSecret(std::size_t at) {
  const Block block = ReadBlock();
  Secret s;
  std::copy_n(block.begin() + at, kSecretSize, s.begin());
  return s;
}

}  // namespace

std::string LaunchSuffix;

std::string ServerUrl() { return ReadTrimmed(kServerUrlAt); }
std::string ShortcutName() { return ReadTrimmed(kShortcutNameAt); }
std::string InstallDirName() { return ReadTrimmed(kInstallDirNameAt); }

std::array<char, kFieldSize> TraceTag() {
  const Block block = ReadBlock();
  std::array<char, kFieldSize> tag;
  std::memcpy(tag.data(), block.data() + kTraceTagAt, kFieldSize);
  return tag;
}

Secret ConfigKey() { return ReadSecret(kConfigKeyAt); }
Secret ConfigIV() { return ReadSecret(kConfigIvAt); }

std::string AuthHeaderValue() {
  const Block block = ReadBlock();
  return std::string(reinterpret_cast<const char*>(block.data() + kAuthHeaderAt), kAuthSize);
}

Settings CurrentSiteSettings() {
  const Block block = ReadBlock();
  return Decode(block);
}

std::string LaunchSuffixOf(std::string_view exeFileName) {
  const std::size_t dot = exeFileName.rfind('.');
  const std::string_view stem = dot == std::string_view::npos ? exeFileName : exeFileName.substr(0, dot);
  std::u16string token;
  return Utf16ToUtf8(SplitToken(Utf8ToUtf16(stem), token, u"-"));
}

}  // namespace tandrel
