#include "Url.h"

#include "../TextCodec.h"

namespace tandrel::http {

std::string EncodeUrl(std::string_view url) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  static constexpr std::string_view kUnsafe = " \"<>\\^`{|}";
  std::string out;
  out.reserve(url.size());
  for (const char ch : url) {
    const auto c = static_cast<unsigned char>(ch);
    if (c <= 0x20 || c >= 0x7F || kUnsafe.find(ch) != std::string_view::npos) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    } else {
      out += ch;
    }
  }
  return out;
}

bool IsHttpUrl(std::string_view url) {
  for (const std::string_view scheme : {"http://", "https://"}) {
    if (url.size() > scheme.size() && EqualsIgnoringAsciiCase(url.substr(0, scheme.size()), scheme)) {
      const char next = url[scheme.size()];
      return next != '/' && next != '?' && next != '#';
    }
  }
  return false;
}

}  // namespace tandrel::http
