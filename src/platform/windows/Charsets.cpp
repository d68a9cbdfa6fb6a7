#include "platform/Charsets.h"

#include "WideText.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace tandrel::platform {
namespace {

// UTF-16 and US-ASCII are read and written here: the code pages for them either
// take only UTF-16 in the machine's order or fold bytes above 127 into ASCII.
constexpr UINT kUtf16Le = 1200;
constexpr UINT kUtf16Be = 1201;
constexpr UINT kAscii = 20127;

constexpr wchar_t kReplacement = 0xFFFD;

// Names as the web writes them, in lower case without "-", "_" and blanks. The
// Chinese names take code page 936 whatever the system's own code page is.
constexpr std::pair<std::string_view, UINT> kCodePages[] = {
    {"utf8", CP_UTF8},     {"cp936", 936},        {"gbk", 936},          {"gb2312", 936},       {"xgbk", 936},
    {"gb18030", 54936},    {"big5", 950},         {"cp950", 950},        {"shiftjis", 932},     {"sjis", 932},
    {"cp932", 932},        {"windows31j", 932},   {"euckr", 949},        {"cp949", 949},        {"iso88591", 28591},
    {"latin1", 28591},     {"iso88592", 28592},   {"iso885915", 28605},  {"koi8r", 20866},      {"windows874", 874},
    {"windows1250", 1250}, {"windows1251", 1251}, {"windows1252", 1252}, {"windows1253", 1253}, {"windows1254", 1254},
    {"windows1255", 1255}, {"windows1256", 1256}, {"windows1257", 1257}, {"windows1258", 1258}, {"utf16le", kUtf16Le},
    {"utf16be", kUtf16Be}, {"usascii", kAscii},   {"ascii", kAscii},
};

UINT CodePageOf(const std::string& charset) {
  std::string key;
  for (const char c : charset) {
    if (c == '-' || c == '_' || c == ' ') continue;
    key += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  const auto* found =
      std::find_if(std::begin(kCodePages), std::end(kCodePages), [&](const auto& e) { return e.first == key; });
  const bool ownCode = found != std::end(kCodePages) &&
                       (found->second == kUtf16Le || found->second == kUtf16Be || found->second == kAscii);
  // A system may lack a code page of the table (Wine has no GB18030).
  if (found == std::end(kCodePages) || (!ownCode && !IsValidCodePage(found->second))) {
    throw std::runtime_error("Unsupported character set '" + charset + "'");
  }
  return found->second;
}

// The whole of bytes when every byte belongs to a character of the code page.
bool DecodeStrictly(UINT codePage, std::string_view bytes, std::wstring& out) {
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (length <= 0) return false;
  const std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(length));
  MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, out.data() + at, length);
  return true;
}

// Left alone, the system puts its own default character (often "?" or U+30FB) for
// a bad byte, or drops it. When the text holds one, it is read a character at a
// time instead, and each byte that starts no character becomes U+FFFD.
std::wstring DecodeCodePage(UINT codePage, std::string_view bytes) {
  std::wstring out;
  if (DecodeStrictly(codePage, bytes, out)) return out;
  CPINFO info{};
  const std::size_t longest = GetCPInfo(codePage, &info) ? info.MaxCharSize : 4;
  while (!bytes.empty()) {
    std::size_t length = 1;
    while (length <= std::min(longest, bytes.size()) && !DecodeStrictly(codePage, bytes.substr(0, length), out)) {
      ++length;
    }
    if (length > std::min(longest, bytes.size())) {
      out += kReplacement;
      length = 1;
    }
    bytes.remove_prefix(length);
  }
  return out;
}

bool IsHighSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(wchar_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::wstring units;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]), second = static_cast<unsigned char>(bytes[i + 1]);
    units += static_cast<wchar_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
  }
  // A surrogate without its partner is no character.
  for (std::size_t i = 0; i < units.size(); ++i) {
    if (IsHighSurrogate(units[i]) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
      ++i;
    } else if (IsHighSurrogate(units[i]) || IsLowSurrogate(units[i])) {
      units[i] = kReplacement;
    }
  }
  if (bytes.size() % 2 != 0) units += kReplacement;  // half a unit at the end
  return units;
}

std::wstring DecodeAscii(std::string_view bytes) {
  std::wstring out;
  for (const char c : bytes) out += static_cast<unsigned char>(c) < 0x80 ? static_cast<wchar_t>(c) : kReplacement;
  return out;
}

std::optional<std::wstring> WidenStrictly(std::string_view utf8) {
  std::wstring wide;
  if (!utf8.empty() && !DecodeStrictly(CP_UTF8, utf8, wide)) return std::nullopt;
  return wide;
}

std::string EncodeUtf16(std::wstring_view text, bool bigEndian) {
  std::string out;
  for (const wchar_t unit : text) {
    const auto high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
  }
  return out;
}

std::optional<std::string> EncodeAscii(std::wstring_view text) {
  std::string out;
  for (const wchar_t unit : text) {
    if (unit >= 0x80) return std::nullopt;
    out += static_cast<char>(unit);
  }
  return out;
}

// Without best fit, a character of no form becomes the default character and the
// call says so; GB18030 has a form for every character and takes no such request.
std::optional<std::string> EncodeCodePage(UINT codePage, std::wstring_view text) {
  const bool complete = codePage == 54936;
  const DWORD flags = complete ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* const askUsedDefault = complete ? nullptr : &usedDefault;
  const int size = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, askUsedDefault);
  if (length <= 0 || usedDefault) return std::nullopt;
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, flags, text.data(), size, out.data(), length, nullptr, askUsedDefault);
  return out;
}

}  // namespace

std::string CharsetToUtf8(std::string_view bytes, const std::string& charset) {
  const UINT codePage = CodePageOf(charset);
  if (codePage == kUtf16Le || codePage == kUtf16Be) return Narrow(DecodeUtf16(bytes, codePage == kUtf16Be));
  if (codePage == kAscii) return Narrow(DecodeAscii(bytes));
  return Narrow(DecodeCodePage(codePage, bytes));
}

std::optional<std::string> Utf8ToCharset(std::string_view text, const std::string& charset) {
  const UINT codePage = CodePageOf(charset);
  const std::optional<std::wstring> wide = WidenStrictly(text);
  if (!wide) return std::nullopt;  // no UTF-8: nothing to write in any set
  if (wide->empty()) return std::string();
  if (codePage == CP_UTF8) return std::string(text);
  if (codePage == kUtf16Le || codePage == kUtf16Be) return EncodeUtf16(*wide, codePage == kUtf16Be);
  if (codePage == kAscii) return EncodeAscii(*wide);
  return EncodeCodePage(codePage, *wide);
}

std::string SystemCharsetToUtf8(std::string_view bytes) { return Narrow(DecodeCodePage(CP_ACP, bytes)); }

std::string ErrorCodeText(const std::error_code& error) {
  if (error.category() == std::system_category()) return SystemErrorText(static_cast<DWORD>(error.value()));
  return SystemCharsetToUtf8(error.message());
}

}  // namespace tandrel::platform
