#include "BodyText.h"

#include "../TextCodec.h"

#include <algorithm>

namespace tandrel::http {

std::string CharsetOf(std::string_view contentType) {
  std::size_t at = 0;
  while ((at = contentType.find(';', at)) != std::string_view::npos) {
    std::string_view param = TrimControl(contentType.substr(++at));
    param = param.substr(0, param.find(';'));
    const std::size_t eq = param.find('=');
    if (eq == std::string_view::npos || !EqualsIgnoringAsciiCase(TrimControl(param.substr(0, eq)), "charset")) {
      continue;
    }
    std::string_view value = TrimControl(param.substr(eq + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    std::string lower(value);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; });
    return lower;
  }
  return {};
}

std::string BodyText(const Response& response) {
  const std::string_view bytes(reinterpret_cast<const char*>(response.body.data()), response.body.size());
  const std::string charset = CharsetOf(response.contentType);
  if (charset.empty() || charset == "utf-8" || charset == "utf8") return SanitizeUtf8(bytes);
  try {
    return ToUtf8(bytes, charset);
  } catch (const std::runtime_error& e) {
    throw Error(e.what());
  }
}

}  // namespace tandrel::http
