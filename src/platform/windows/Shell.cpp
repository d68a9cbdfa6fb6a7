#include "platform/Shell.h"

#include "ComApartment.h"
#include "WideText.h"

#include <shellapi.h>

#include <stdexcept>
#include <string_view>

namespace tandrel::platform {
namespace {

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const char c = text[i];
    if (((c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c) != prefix[i]) return false;
  }
  return true;
}

// ShellExecuteW's result above 32 means the shell took the request.
void Open(const wchar_t* file, const std::wstring& parameters, const std::string& failure) {
  const ComApartment com;  // the shell may hand the request to its extensions
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", file, parameters.empty() ? nullptr : parameters.c_str(), nullptr, SW_SHOWNORMAL));
  if (result <= 32) throw std::runtime_error(failure + " " + SystemErrorText(GetLastError()));
}

class WindowsShell final : public Shell {
 public:
  // Explorer starts the program as one of its own, inheriting nothing of the box's.
  // The path goes bare, without quotes: explorer takes its parameter text as it is.
  void StartProgram(const std::filesystem::path& executable) override {
    const std::wstring path = std::filesystem::path(executable).make_preferred().wstring();
    Open(L"explorer.exe", path, "Cannot start \"" + Narrow(path) + "\".");
  }

  // The shell runs whatever it is given: anything but a web address could start a
  // program, so only those go.
  void OpenWebAddress(const std::string& url) override {
    if (!StartsWithIgnoringCase(url, "http://") && !StartsWithIgnoringCase(url, "https://")) return;
    Open(Widen(url).c_str(), L"", "Cannot open \"" + url + "\".");
  }
};

}  // namespace

Shell& SystemShell() {
  static WindowsShell shell;
  return shell;
}

}  // namespace tandrel::platform
