#include "TextCodec.h"

#include "platform/Charsets.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <utility>

namespace tandrel {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Length of the valid UTF-8 sequence at the start of s, or 0 when it is invalid.
size_t ValidUtf8Sequence(std::string_view s) {
  const auto b0 = static_cast<unsigned char>(s[0]);
  if (b0 < 0x80) return 1;
  size_t len;
  unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3;
    if (b0 == 0xE0) lo = 0xA0;  // no overlong forms
    if (b0 == 0xED) hi = 0x9F;  // no surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4;
    if (b0 == 0xF0) lo = 0x90;
    if (b0 == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (s.size() < len) return 0;
  for (size_t i = 1; i < len; ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    const unsigned char min = i == 1 ? lo : 0x80, max = i == 1 ? hi : 0xBF;
    if (b < min || b > max) return 0;
  }
  return len;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string Cp936ToUtf8(std::string_view bytes) { return platform::CharsetToUtf8(bytes, "CP936"); }

std::string Utf8ToCp936(std::string_view text) {
  std::optional<std::string> bytes = platform::Utf8ToCharset(text, "CP936");
  if (!bytes) throw std::runtime_error("'" + SanitizeUtf8(text) + "' cannot be written in code page 936");
  return std::move(*bytes);
}

std::string ToUtf8(std::string_view bytes, const std::string& charset) {
  return platform::CharsetToUtf8(bytes, charset);
}

size_t ValidUtf8Prefix(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const begin = p;
  const auto* const end = p + bytes.size();
  while (p < end) {
    // Runs of ASCII, eight bytes at a time.
    if (end - p >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, 8);
      if ((word & 0x8080808080808080ull) == 0) {
        p += 8;
        continue;
      }
    }
    while (p < end && *p < 0x80) ++p;
    // A run of other characters, up to the next ASCII byte. The common three-byte
    // forms (most CJK text) go without the general checks.
    while (p < end && *p >= 0x80) {
      const unsigned c = *p;
      if ((c >= 0xE1 && c <= 0xEC) || c == 0xEE || c == 0xEF) {
        if (end - p < 3 || (p[1] & 0xC0) != 0x80 || (p[2] & 0xC0) != 0x80) return static_cast<size_t>(p - begin);
        p += 3;
        continue;
      }
      const size_t len = ValidUtf8Sequence(bytes.substr(static_cast<size_t>(p - begin)));
      if (len == 0) return static_cast<size_t>(p - begin);
      p += len;
    }
  }
  return static_cast<size_t>(p - begin);
}

std::string SanitizeUtf8(std::string_view bytes) {
  size_t valid = ValidUtf8Prefix(bytes);
  std::string out(bytes.substr(0, valid));
  while (valid < bytes.size()) {
    out += kReplacement;  // for the one byte that starts no valid sequence
    bytes.remove_prefix(valid + 1);
    valid = ValidUtf8Prefix(bytes);
    out.append(bytes.substr(0, valid));
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const size_t len = ValidUtf8Sequence(text.substr(i));
    if (len == 0) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    const auto b0 = static_cast<unsigned char>(text[i]);
    char32_t c = len == 1 ? b0 : len == 2 ? (b0 & 0x1F) : len == 3 ? (b0 & 0x0F) : (b0 & 0x07);
    for (size_t k = 1; k < len; ++k) c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
    i += len;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::string_view TrimControl(std::string_view text) {
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace tandrel
