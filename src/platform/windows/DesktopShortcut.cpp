#include "platform/DesktopShortcut.h"

#include "ComApartment.h"
#include "WideText.h"

#include <shlobj.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>

namespace tandrel::platform {
namespace {

struct Releaser {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <typename T>
using ComPointer = std::unique_ptr<T, Releaser>;

struct KeyCloser {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
using Key = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

[[noreturn]] void Fail(const std::string& what, DWORD code) {
  throw std::runtime_error(what + " " + SystemErrorText(code));
}

constexpr const char* kNoFolder = "Cannot read the desktop folder from the registry.";

// The user's "Shell Folders" value "Desktop" as written, variables not expanded;
// empty when the subkey or the value is missing.
std::wstring DesktopFolder() {
  HKEY opened = nullptr;
  const LSTATUS created = RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer",
                                          0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr);
  if (created != ERROR_SUCCESS) Fail(kNoFolder, static_cast<DWORD>(created));
  const Key explorer(opened);
  constexpr DWORD kAnyType = RRF_RT_ANY | RRF_NOEXPAND;
  for (;;) {
    DWORD type = 0, size = 0;
    LSTATUS read = RegGetValueW(explorer.get(), L"Shell Folders", L"Desktop", kAnyType, &type, nullptr, &size);
    if (read == ERROR_FILE_NOT_FOUND) return {};
    if (read != ERROR_SUCCESS) Fail(kNoFolder, static_cast<DWORD>(read));
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
      throw std::runtime_error("The desktop folder in the registry is no text (value type " + std::to_string(type) +
                               ").");
    }
    std::wstring folder(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(folder.size() * sizeof(wchar_t));
    read = RegGetValueW(explorer.get(), L"Shell Folders", L"Desktop", kAnyType, &type, folder.data(), &size);
    if (read == ERROR_MORE_DATA) continue;  // it grew meanwhile
    if (read == ERROR_FILE_NOT_FOUND) return {};
    if (read != ERROR_SUCCESS) Fail(kNoFolder, static_cast<DWORD>(read));
    folder.resize(size / sizeof(wchar_t));
    while (!folder.empty() && folder.back() == L'\0') folder.pop_back();
    return folder;
  }
}

}  // namespace

// The shortcut shows its target's own icon.
std::string InstallShortcutIcon(const std::string&, std::span<const std::uint8_t>) { return {}; }

void WriteDesktopShortcut(const std::string& name, const ShortcutTarget& target) {
  const ComApartment com;
  IShellLinkW* createdLink = nullptr;
  HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                    reinterpret_cast<void**>(&createdLink));
  if (FAILED(result)) Fail("Cannot create the desktop shortcut.", static_cast<DWORD>(result));
  const ComPointer<IShellLinkW> link(createdLink);
  IPersistFile* createdFile = nullptr;
  result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&createdFile));
  if (FAILED(result)) Fail("Cannot create the desktop shortcut.", static_cast<DWORD>(result));
  const ComPointer<IPersistFile> file(createdFile);

  // A shortcut that cannot be set or saved is no failure of the box's: it goes on without.
  link->SetPath(Widen(target.exePath).c_str());
  link->SetWorkingDirectory(Widen(target.exeDir).c_str());
  const std::wstring path = DesktopFolder() + L"\\" + Widen(name) + L".lnk";
  file->Save(path.c_str(), TRUE);
}

}  // namespace tandrel::platform
