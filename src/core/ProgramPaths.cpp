#include "ProgramPaths.h"

#include "Paths.h"
#include "TextCodec.h"
#include "platform/Process.h"

#include <cwctype>

namespace tandrel {

std::string ExePath() { return Utf8FromPath(platform::ExecutablePath()); }

std::string ExeDir() { return FolderText(platform::ExecutablePath().parent_path()); }

std::string ExeFileName() { return Utf8FromPath(platform::ExecutablePath().filename()); }

std::string ApplicationTitleOf(std::string_view exeFileName) {
  std::u16string title = Utf8ToUtf16(exeFileName.substr(0, exeFileName.find('.')));
  for (std::size_t i = 1; i < title.size(); ++i) {
    title[i] = static_cast<char16_t>(std::towlower(static_cast<wint_t>(title[i])));
  }
  return Utf16ToUtf8(title);
}

}  // namespace tandrel
