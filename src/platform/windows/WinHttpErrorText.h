// The system's words for a WinHTTP error code.
#pragma once

#include <windows.h>

#include <string>

namespace tandrel::platform {

// WinHTTP's own codes are worded by winhttp.dll's message table; any other code,
// or one the table lacks, as SystemErrorText words it.
std::string WinHttpErrorText(DWORD code);

}  // namespace tandrel::platform
