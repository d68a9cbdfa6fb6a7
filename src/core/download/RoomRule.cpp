#include "RoomRule.h"

#include <limits>
#include <system_error>

namespace tandrel::download {

bool EnoughRoom(std::uint64_t total, std::uint64_t have, unsigned copies, std::uint64_t available) {
  if (have > total || copies == 0) return have <= total;
  // Counted without overflow: any length a service announces fits the sum or exceeds the room.
  const std::uint64_t max = std::numeric_limits<std::uint64_t>::max();
  if (copies > 1 && total > (max - (total - have)) / (copies - 1)) return false;
  return (total - have) + std::uint64_t{copies - 1} * total <= available;
}

std::optional<std::uint64_t> SystemFreeSpace(const std::filesystem::path& folder) {
  std::error_code error;
  const std::filesystem::space_info space = std::filesystem::space(folder, error);
  if (error) return std::nullopt;
  return space.available;
}

}  // namespace tandrel::download
