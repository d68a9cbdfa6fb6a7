#include "CommandLine.h"

namespace tandrel::platform {
namespace {

// Backslashes are plain unless a quote follows them: then each is doubled, and a
// quote inside the word is written \".
std::wstring Quoted(const std::wstring& word) {
  if (!word.empty() && word.find_first_of(L" \t\n\v\"") == std::wstring::npos) return word;
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : word) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(2 * backslashes, L'\\');  // the closing quote follows
  return out + L"\"";
}

}  // namespace

// The program's own word ends at the next quote whatever precedes it, and a path
// holds no quote: it is only enclosed.
std::wstring CommandLine(const std::wstring& program, const std::vector<std::wstring>& arguments) {
  std::wstring line = L"\"" + program + L"\"";
  for (const std::wstring& argument : arguments) line += L" " + Quoted(argument);
  return line;
}

}  // namespace tandrel::platform
