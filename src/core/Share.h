// The running program's site settings and the shared run-time value LaunchSuffix.
#pragma once

#include "SiteBlock.h"

#include <array>
#include <string>
#include <string_view>

namespace tandrel {

// Each call reads the block afresh, converts it from code page 936 and trims codes
// 0 to 32 from both ends; nothing keeps a trimmed copy.
std::string ServerUrl();
std::string ShortcutName();
std::string InstallDirName();

// The trace tag is handed on untouched: all 150 bytes, trailing spaces included.
std::array<char, site::kFieldSize> TraceTag();

site::Secret ConfigKey();
site::Secret ConfigIV();
std::string AuthHeaderValue();

// All of the running program's settings, untrimmed, as the operator tool shows them.
site::Settings CurrentSiteSettings();

// What follows the first "-" of the executable's file name without its last
// extension; set once at start-up, read when launchers are started.
extern std::string LaunchSuffix;
std::string LaunchSuffixOf(std::string_view exeFileName);

}  // namespace tandrel
