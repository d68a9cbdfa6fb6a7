// The Content-Range of a 206 answer to a "bytes=N-" request.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tandrel::download {

struct ByteRange {
  std::uint64_t first = 0;
  std::uint64_t last = 0;   // inclusive
  std::uint64_t total = 0;  // the whole file's length
};

// "bytes FIRST-LAST/TOTAL" with FIRST <= LAST < TOTAL; nothing for anything else,
// an unknown total ("*") included: such a range cannot be checked to end the file.
std::optional<ByteRange> ParseContentRange(std::string_view value);

}  // namespace tandrel::download
