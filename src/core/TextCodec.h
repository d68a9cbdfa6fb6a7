// Conversions between the encodings the box meets: code page 936 in the site
// settings, UTF-16 where text is measured in 16-bit units, UTF-8 everywhere else.
#pragma once

#include <string>
#include <string_view>

namespace tandrel {

// Never fails: bytes that are no valid code page 936 sequence become U+FFFD.
std::string Cp936ToUtf8(std::string_view bytes);

// Throws std::runtime_error when a character has no code page 936 form.
std::string Utf8ToCp936(std::string_view text);

// Any charset the system knows, to UTF-8; throws std::runtime_error for an unknown one.
std::string ToUtf8(std::string_view bytes, const std::string& charset);

// Invalid UTF-8 sequences become U+FFFD; valid text comes back unchanged.
std::string SanitizeUtf8(std::string_view bytes);
// How many bytes at the start are valid UTF-8.
std::size_t ValidUtf8Prefix(std::string_view bytes);

std::u16string Utf8ToUtf16(std::string_view text);  // expects valid UTF-8
std::string Utf16ToUtf8(std::u16string_view text);  // lone surrogates become U+FFFD

// Removes characters with codes 0 to 32 from both ends, and nothing else.
std::string_view TrimControl(std::string_view text);

// Inline: the document reader matches every member name with it.
inline bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const char x = a[i], y = b[i];
    if (x != y && ((x | 0x20) != (y | 0x20) || (x | 0x20) < 'a' || (x | 0x20) > 'z')) return false;
  }
  return true;
}

}  // namespace tandrel
