#include "WinHttpErrorText.h"

#include "WideText.h"

#include <winhttp.h>

#include <string_view>

namespace tandrel::platform {

std::string WinHttpErrorText(DWORD code) {
  const HMODULE winhttp = GetModuleHandleW(L"winhttp.dll");
  if (code < WINHTTP_ERROR_BASE || code > WINHTTP_ERROR_BASE + 999 || !winhttp) return SystemErrorText(code);
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
                     winhttp, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (length == 0 || !text) return SystemErrorText(code);
  std::wstring_view message(text, length);
  while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' ')) {
    message.remove_suffix(1);
  }
  std::string result = Narrow(message);
  LocalFree(text);
  return result;
}

}  // namespace tandrel::platform
