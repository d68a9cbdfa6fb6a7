// Arbitrary bytes as a decrypted server list, read as the box reads it and as raw
// text: the reader builds a list or refuses with a DocumentError, and whatever it
// keeps is valid UTF-8.
#include "core/ServerListLoader.h"
#include "core/TextCodec.h"
#include "core/uConfig.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string_view>

namespace {

void CheckKeptText(const tandrel::TConfig& config) {
  for (const tandrel::TBoxConfig& entry : config.ServerList()) {
    for (const std::string* field :
         {&entry.ServerName, &entry.LauncherName, &entry.Url, &entry.BriefIntroduction, &entry.BeginTime, &entry.Md5}) {
      if (tandrel::ValidUtf8Prefix(*field) != field->size()) {
        std::fputs("a kept field holds invalid UTF-8\n", stderr);
        std::abort();
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    CheckKeptText(tandrel::ReadDocument(std::span(data, size)));
  } catch (const tandrel::DocumentError&) {
  }
  try {
    CheckKeptText(tandrel::TConfig(std::string_view(reinterpret_cast<const char*>(data), size)));
  } catch (const tandrel::DocumentError&) {
  }
  return 0;
}
