// Command lines for CreateProcessW, which hands a program one string to split.
#pragma once

#include <string>
#include <vector>

namespace tandrel::platform {

// The program and its arguments quoted so that the C runtime's splitting (and
// CommandLineToArgvW's) gives back exactly these words.
std::wstring CommandLine(const std::wstring& program, const std::vector<std::wstring>& arguments);

}  // namespace tandrel::platform
