// Bodies made of a byte pattern, so a test can check every byte that arrived.
#pragma once

#include <cstddef>
#include <string>

namespace tandrel::test {

inline std::string PatternBody(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i % 251);
  return bytes;
}

}  // namespace tandrel::test
