// Where a redirect leads: its Location resolved against the address that answered.
#pragma once

#include <string>
#include <string_view>

namespace tandrel::platform {

// base is an absolute http(s) URL; location is absolute, scheme-relative
// ("//host/..."), absolute-path, query-only or relative, as RFC 3986 allows. The
// result has no fragment and no "." or ".." segments in a path resolved here.
std::wstring ResolveLocation(std::wstring_view base, std::wstring_view location);

}  // namespace tandrel::platform
