#include "WinHttpErrorText.h"

#include "WideText.h"

#include <winhttp.h>

namespace tandrel::platform {

std::string WinHttpErrorText(DWORD code) {
  const HMODULE winhttp = GetModuleHandleW(L"winhttp.dll");
  if (code < WINHTTP_ERROR_BASE || code > WINHTTP_ERROR_BASE + 999 || !winhttp) return SystemErrorText(code);
  return MessageText(code, winhttp).value_or(SystemErrorText(code));
}

}  // namespace tandrel::platform
