// Text that came from a list (or from a request, a box, a file name) on its way to
// the operator's terminal or log: no control character reaches it raw.
#pragma once

#include <string>
#include <string_view>

namespace tandrel::admin {

// The text with every control character written as an escape, so a ServerName
// holding "\x1b]0;...\x07" prints as those characters instead of retitling or
// clearing the terminal: "\t", "\n", "\r", "\\" for those four, "\x1b" for the other
// C0 controls and DEL, "\u009b" for the C1 controls (U+0080 to U+009F), and "\xHH"
// for each byte that is not part of valid UTF-8 (an 8-bit terminal would take 0x9B
// as a control). Everything else, CJK text included, passes unchanged.
std::string EscapeControls(std::string_view text);

// JSON text (valid UTF-8) with DEL and the C1 controls inside its strings written as
// \u escapes, which JSON writers leave raw; the JSON value is unchanged.
std::string EscapeJsonControls(std::string_view json);

}  // namespace tandrel::admin
