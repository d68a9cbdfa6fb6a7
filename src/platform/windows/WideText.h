// UTF-8 and UTF-16 for the wide-character Windows calls, and the system's words
// for an error code.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace tandrel::platform {

// Invalid sequences become U+FFFD.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// The text a message table holds for the code (the system's, or the module's when
// one is given), without its line end; nothing when it has none.
std::optional<std::string> MessageText(DWORD code, HMODULE module = nullptr);

// The system's text for the code; "error N" when it has none.
std::string SystemErrorText(DWORD code);

}  // namespace tandrel::platform
