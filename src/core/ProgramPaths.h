// Where the running program lives, and the title it shows: every path of the
// program is built from ExePath and ExeDir.
#pragma once

#include <string>
#include <string_view>

namespace tandrel {

std::string ExePath();
// The folder of ExePath, ending in the separator.
std::string ExeDir();
std::string ExeFileName();

// The file name up to its first ".", every character after the first one in
// lower case: "BOX-7.exe" gives "Box-7". Captions the failure report.
std::string ApplicationTitleOf(std::string_view exeFileName);

}  // namespace tandrel
