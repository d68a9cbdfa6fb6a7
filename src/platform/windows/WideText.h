// UTF-8 and UTF-16 for the wide-character Windows calls, and the system's words
// for an error code.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tandrel::platform {

// Invalid sequences become U+FFFD.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// FormatMessageW's text for the code, without its line end; "error N" when the
// system has none.
std::string SystemErrorText(DWORD code);

}  // namespace tandrel::platform
