#include "Resources.h"

#include "platform/windows/WideText.h"

#include <windows.h>

#include <stdexcept>

namespace tandrel::win {

std::span<const std::uint8_t> ResourceBytes(const wchar_t* name) {
  const HMODULE module = GetModuleHandleW(nullptr);
  const HRSRC found = FindResourceW(module, name, MAKEINTRESOURCEW(10));  // RT_RCDATA
  const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) {
    throw std::runtime_error("The picture " + platform::Narrow(name) + " is missing from the program. " +
                             platform::SystemErrorText(GetLastError()));
  }
  return {static_cast<const std::uint8_t*>(bytes), SizeofResource(module, found)};
}

}  // namespace tandrel::win
