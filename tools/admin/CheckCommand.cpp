// check: reads a list as the box will, before the operator publishes it.
#include "Commands.h"
#include "KeyOptions.h"
#include "ListCheck.h"

#include "core/FileIo.h"

#include <cstdio>

namespace tandrel::admin {
namespace {

// Tabs and line breaks inside a field would break the one-line-per-entry output.
std::string Escaped(const std::string& field) {
  std::string out;
  for (const char c : field) {
    if (c == '\t') out += "\\t";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\\') out += "\\\\";
    else out += c;
  }
  return out;
}

}  // namespace

int Check(const std::vector<std::string>& words) {
  const Args args(words, kKeyOptions, {"--json", "--encrypted"});
  args.ExpectPositionals(1, "one list file");
  std::optional<ListKeys> keys;
  if (args.Flag("--encrypted")) keys = KeysFromOptions(args);
  else if (args.Value("--key") || args.Value("--iv") || args.Value("--site") || args.Value("--site-dir")) {
    throw UsageError("keys go with --encrypted");
  }
  const auto bytes = ReadWholeFile(args.positionals()[0]);
  try {
    const TConfig config = ReadList(bytes, keys);
    if (args.Flag("--json")) {
      std::fputs(EntriesJson(config.ServerList()).c_str(), stdout);
    } else {
      for (const TBoxConfig& e : config.ServerList()) {
        std::printf("%s\t%s\t%s\t%s\t%s\t%s\n", Escaped(e.ServerName).c_str(), Escaped(e.LauncherName).c_str(),
                    Escaped(e.Url).c_str(), Escaped(e.BriefIntroduction).c_str(), Escaped(e.BeginTime).c_str(),
                    Escaped(e.Md5).c_str());
      }
    }
    return 0;
  } catch (const DocumentError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}

}  // namespace tandrel::admin
