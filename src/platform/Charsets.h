// Conversions between UTF-8 and the other character sets the box meets, by the
// names the web uses ("CP936", "UTF-16LE", "ISO-8859-1", ...).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace tandrel::platform {

// Bytes that form no character of the set become U+FFFD. Throws std::runtime_error
// "Unsupported character set '<name>'" for a set the system does not know.
std::string CharsetToUtf8(std::string_view bytes, const std::string& charset);

// Nothing when a character has no form in the set; throws as above.
std::optional<std::string> Utf8ToCharset(std::string_view text, const std::string& charset);

// Bytes in the system's own narrow character set: Windows' ANSI code page (936 on
// a Chinese system), the locale's on Linux. Bad bytes become U+FFFD.
std::string SystemCharsetToUtf8(std::string_view bytes);

// An error code's text in UTF-8. The standard library words it in the system's
// narrow character set; on Windows the system's own codes are worded by the
// system in UTF-16 instead.
std::string ErrorCodeText(const std::error_code& error);

}  // namespace tandrel::platform
