#include "ContentRange.h"

#include "core/TextCodec.h"

#include <charconv>

namespace tandrel::download {
namespace {

// Decimal digits up to the next character that is not one.
std::optional<std::uint64_t> Number(std::string_view& text) {
  std::uint64_t n = 0;
  if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc()) return std::nullopt;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return n;
}

bool Take(std::string_view& text, char c) {
  if (text.empty() || text.front() != c) return false;
  text.remove_prefix(1);
  return true;
}

}  // namespace

std::optional<ByteRange> ParseContentRange(std::string_view value) {
  value = TrimControl(value);
  constexpr std::string_view kUnit = "bytes ";
  if (!EqualsIgnoringAsciiCase(value.substr(0, kUnit.size()), kUnit)) return std::nullopt;
  value.remove_prefix(kUnit.size());
  const auto first = Number(value);
  if (!first || !Take(value, '-')) return std::nullopt;
  const auto last = Number(value);
  if (!last || !Take(value, '/')) return std::nullopt;
  const auto total = Number(value);
  if (!total || !value.empty() || *first > *last || *last >= *total) return std::nullopt;
  return ByteRange{*first, *last, *total};
}

}  // namespace tandrel::download
