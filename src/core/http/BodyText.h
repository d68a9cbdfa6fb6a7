#pragma once

#include "HttpClient.h"

#include <string>
#include <string_view>

namespace tandrel::http {

// The charset parameter of a Content-Type value, lower-cased; empty when there is none.
std::string CharsetOf(std::string_view contentType);

// The body as UTF-8 text, decoded by the charset of its Content-Type (UTF-8 when
// none is named). Throws Error for a charset that cannot be decoded.
std::string BodyText(const Response& response);

}  // namespace tandrel::http
