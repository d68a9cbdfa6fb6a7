// check: reads a list as the box will, before the operator publishes it.
#include "Commands.h"
#include "KeyOptions.h"
#include "ListCheck.h"
#include "TerminalText.h"

#include "core/FileIo.h"
#include "core/uGameRun.h"

#include <cstdio>

namespace tandrel::admin {

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
      // A field's tabs and line breaks would break the one-line-per-entry output, and
      // its terminal escapes would rewrite the operator's terminal: all are escaped.
      for (const TBoxConfig& e : config.ServerList()) {
        std::printf("%s\t%s\t%s\t%s\t%s\t%s\n", EscapeControls(e.ServerName).c_str(),
                    EscapeControls(e.LauncherName).c_str(), EscapeControls(e.Url).c_str(),
                    EscapeControls(e.BriefIntroduction).c_str(), EscapeControls(e.BeginTime).c_str(),
                    EscapeControls(e.Md5).c_str());
      }
    }
    // The box refuses these names: their servers could never start. A row without
    // a launcher is the operator's to have.
    int refused = 0;
    for (const TBoxConfig& e : config.ServerList()) {
      if (e.LauncherName.empty() || IsSafeLauncherName(e.LauncherName)) continue;
      std::fprintf(stderr, "the launcher name \"%s\" is one the box refuses\n", EscapeControls(e.LauncherName).c_str());
      ++refused;
    }
    return refused ? 1 : 0;
  } catch (const DocumentError& e) {
    std::fprintf(stderr, "%s\n", EscapeControls(e.what()).c_str());  // member names of the list may be in it
    return 1;
  }
}

}  // namespace tandrel::admin
