#include "WinHttpLocation.h"

#include <algorithm>
#include <cwctype>

namespace tandrel::platform {
namespace {

std::wstring_view WithoutFragment(std::wstring_view url) { return url.substr(0, url.find(L'#')); }

// A scheme is letters, digits, "+", "-" and "." before the first ":", starting with a letter.
bool HasScheme(std::wstring_view url) {
  const std::size_t colon = url.find(L':');
  if (colon == 0 || colon == std::wstring_view::npos || !std::iswalpha(url[0])) return false;
  for (const wchar_t c : url.substr(0, colon)) {
    if (!std::iswalnum(c) && c != L'+' && c != L'-' && c != L'.') return false;
  }
  return true;
}

// RFC 3986, 5.2.4: "a/./b/../c" becomes "a/c"; what follows the path stays.
std::wstring RemoveDotSegments(std::wstring_view pathAndQuery) {
  const std::size_t pathEnd = pathAndQuery.find(L'?');
  std::wstring_view in = pathAndQuery.substr(0, pathEnd);
  std::wstring out;
  while (!in.empty()) {
    if (in.starts_with(L"../")) {
      in.remove_prefix(3);
    } else if (in.starts_with(L"./")) {
      in.remove_prefix(2);
    } else if (in.starts_with(L"/./")) {
      in.remove_prefix(2);
    } else if (in == L"/.") {
      in = L"/";
    } else if (in.starts_with(L"/../") || in == L"/..") {
      in = in.size() == 3 ? std::wstring_view(L"/") : in.substr(3);
      out.erase(std::min(out.size(), out.rfind(L'/')));
    } else if (in == L"." || in == L"..") {
      in = {};
    } else {
      const std::size_t next = in.find(L'/', 1);
      out.append(in.substr(0, next));
      in = next == std::wstring_view::npos ? std::wstring_view() : in.substr(next);
    }
  }
  if (pathEnd != std::wstring_view::npos) out.append(pathAndQuery.substr(pathEnd));
  return out;
}

}  // namespace

std::wstring ResolveLocation(std::wstring_view base, std::wstring_view location) {
  location = WithoutFragment(location);
  base = WithoutFragment(base);
  if (HasScheme(location)) return std::wstring(location);

  const std::size_t authorityStart = base.find(L"://") + 3;
  const std::size_t pathStart = std::min(base.size(), base.find_first_of(L"/?", authorityStart));
  const std::wstring_view scheme = base.substr(0, authorityStart - 2);  // "http:"
  const std::wstring_view origin = base.substr(0, pathStart);           // "http://host:port"
  const std::wstring_view pathAndQuery = base.substr(pathStart);

  if (location.starts_with(L"//")) return std::wstring(scheme) + std::wstring(location);
  if (location.empty()) return std::wstring(base);
  if (location.starts_with(L"?")) {
    return std::wstring(origin) + std::wstring(pathAndQuery.substr(0, pathAndQuery.find(L'?'))) +
           std::wstring(location);
  }
  if (location.starts_with(L"/")) return std::wstring(origin) + RemoveDotSegments(location);

  // Relative to the base path's directory ("/" when the base has no path).
  const std::wstring_view basePath = pathAndQuery.substr(0, pathAndQuery.find(L'?'));
  const std::size_t lastSlash = basePath.rfind(L'/');
  const std::wstring directory =
      lastSlash == std::wstring_view::npos ? L"/" : std::wstring(basePath.substr(0, lastSlash + 1));
  return std::wstring(origin) + RemoveDotSegments(directory + std::wstring(location));
}

}  // namespace tandrel::platform
