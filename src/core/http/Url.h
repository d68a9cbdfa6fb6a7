#pragma once

#include <string>
#include <string_view>

namespace tandrel::http {

// Percent-encodes, as UTF-8 bytes, what may not stand in a URL (blanks, controls,
// non-ASCII and the few unsafe ASCII marks); everything else, "%" included, stays.
std::string EncodeUrl(std::string_view url);

// True for an absolute http:// or https:// URL with a host (scheme in any case).
bool IsHttpUrl(std::string_view url);

}  // namespace tandrel::http
