#include "../Charsets.h"

#include <cerrno>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <memory>
#include <stdexcept>
#include <type_traits>

namespace tandrel::platform {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

struct IconvCloser {
  void operator()(iconv_t cd) const { iconv_close(cd); }
};
using Iconv = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

Iconv OpenIconv(const std::string& to, const std::string& from, const std::string& charset) {
  iconv_t cd = iconv_open(to.c_str(), from.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) {  // NOLINT(performance-no-int-to-ptr): iconv's failure value
    throw std::runtime_error("Unsupported character set '" + charset + "'");
  }
  return Iconv(cd);
}

// Runs iconv over the whole input. onInvalid decides what an undecodable byte
// becomes: it returns false to give up.
template <typename OnInvalid>
bool Convert(iconv_t cd, std::string_view in, std::string& out, OnInvalid onInvalid) {
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char buffer[4096];
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (rc != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // EILSEQ, or EINVAL for a sequence cut off by the end of the input.
    if (!onInvalid(out)) return false;
    ++src;
    --srcLeft;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  char* dst = buffer;
  size_t dstLeft = sizeof buffer;
  iconv(cd, nullptr, nullptr, &dst, &dstLeft);
  out.append(buffer, static_cast<size_t>(dst - buffer));
  return true;
}

}  // namespace

std::string CharsetToUtf8(std::string_view bytes, const std::string& charset) {
  const Iconv cd = OpenIconv("UTF-8", charset, charset);
  std::string out;
  Convert(cd.get(), bytes, out, [](std::string& o) {
    o += kReplacement;
    return true;
  });
  return out;
}

std::optional<std::string> Utf8ToCharset(std::string_view text, const std::string& charset) {
  const Iconv cd = OpenIconv(charset, "UTF-8", charset);
  std::string out;
  if (!Convert(cd.get(), text, out, [](std::string&) { return false; })) return std::nullopt;
  return out;
}

// The environment's locale, whether or not the program took it with setlocale.
std::string SystemCharsetToUtf8(std::string_view bytes) {
  std::string charset = "UTF-8";
  if (const locale_t environment = newlocale(LC_CTYPE_MASK, "", nullptr)) {
    charset = nl_langinfo_l(CODESET, environment);
    freelocale(environment);
  }
  return CharsetToUtf8(bytes, charset);
}

std::string ErrorCodeText(const std::error_code& error) { return SystemCharsetToUtf8(error.message()); }

}  // namespace tandrel::platform
