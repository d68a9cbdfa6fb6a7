#include "ShellOpen.h"

#include "ComApartment.h"
#include "WideText.h"

#include <shellapi.h>

#include <string_view>

namespace tandrel::platform {

// The shell answers with codes of its own, most of them equal to the system's
// error codes; the rest are turned into the system code that says the same.
std::string ShellResultText(INT_PTR result) {
  switch (result) {
    case 0:
    case SE_ERR_OOM: return SystemErrorText(ERROR_NOT_ENOUGH_MEMORY);
    case SE_ERR_SHARE: return SystemErrorText(ERROR_SHARING_VIOLATION);
    case SE_ERR_ASSOCINCOMPLETE:
    case SE_ERR_NOASSOC: return SystemErrorText(ERROR_NO_ASSOCIATION);
    case SE_ERR_DDETIMEOUT:
    case SE_ERR_DDEFAIL:
    case SE_ERR_DDEBUSY: return SystemErrorText(ERROR_DDE_FAIL);
    case SE_ERR_DLLNOTFOUND: return SystemErrorText(ERROR_DLL_NOT_FOUND);
    default: return SystemErrorText(static_cast<DWORD>(result));  // file and path not found, access denied, bad format
  }
}

// The shell says nothing itself (the caller does, once) and hands the request on
// before it returns, as the box may end at once after it.
ShellRefusal ShellOpen(const wchar_t* file, const std::wstring& parameters, const std::string& failure) {
  const ComApartment com;  // the shell may hand the request to its extensions
  SHELLEXECUTEINFOW request{};
  request.cbSize = sizeof request;
  request.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  request.lpVerb = L"open";
  request.lpFile = file;
  request.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
  request.nShow = SW_SHOWNORMAL;
  if (ShellExecuteExW(&request)) return std::nullopt;
  // Its result code says why; the thread's last error is not set reliably.
  const auto result = reinterpret_cast<INT_PTR>(request.hInstApp);
  return failure + " " + ShellResultText(result > 32 ? 0 : result);
}

namespace {

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const char c = text[i];
    if (((c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c) != prefix[i]) return false;
  }
  return true;
}

class WindowsShell final : public Shell {
 public:
  // Explorer starts the program as one of its own, inheriting nothing of the box's.
  // The path goes bare, without quotes: explorer takes its parameter text as it is.
  ShellRefusal StartProgram(const std::filesystem::path& executable) override {
    const std::wstring path = std::filesystem::path(executable).make_preferred().wstring();
    return ShellOpen(L"explorer.exe", path, "Cannot start \"" + Narrow(path) + "\".");
  }

  // The shell runs whatever it is given: anything but a web address could start a
  // program, so only those go.
  ShellRefusal OpenWebAddress(const std::string& url) override {
    if (!StartsWithIgnoringCase(url, "http://") && !StartsWithIgnoringCase(url, "https://")) return std::nullopt;
    return ShellOpen(Widen(url).c_str(), L"", "Cannot open \"" + url + "\".");
  }
};

}  // namespace

Shell& SystemShell() {
  static WindowsShell shell;
  return shell;
}

}  // namespace tandrel::platform
