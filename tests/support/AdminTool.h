// Running the built operator tool as the operator does, for tests.
#pragma once

#include "TempDir.h"
#include "Commands.h"

#include <string>

namespace tandrel::test {

inline const std::string kAdmin = TANDREL_ADMIN;
inline const std::string kProbe = TANDREL_SITE_PROBE;

// tandrel-admin with these arguments (already quoted), its output and errors together.
inline CommandResult Admin(const std::string& args) { return RunCommand(ShellQuote(kAdmin) + " " + args + " 2>&1"); }

}  // namespace tandrel::test
