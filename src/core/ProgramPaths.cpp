#include "ProgramPaths.h"

#include "TextCodec.h"
#include "platform/Process.h"

#include <cwctype>

namespace tandrel {

std::string ExePath() { return platform::ExecutablePath().string(); }

std::string ExeDir() { return platform::ExecutablePath().parent_path().string() + "/"; }

std::string ExeFileName() { return platform::ExecutablePath().filename().string(); }

std::string ApplicationTitleOf(std::string_view exeFileName) {
  std::u16string title = Utf8ToUtf16(exeFileName.substr(0, exeFileName.find('.')));
  for (std::size_t i = 1; i < title.size(); ++i) {
    title[i] = static_cast<char16_t>(std::towlower(static_cast<wint_t>(title[i])));
  }
  return Utf16ToUtf8(title);
}

}  // namespace tandrel
