#include "BoxImage.h"

#include "core/FileIo.h"

#include <algorithm>
#include <stdexcept>

namespace tandrel::admin {

BoxImage::BoxImage(const std::filesystem::path& path)
    : bytes_(ReadWholeFile(path)), mode_(std::filesystem::status(path).permissions()) {
  try {
    blockAt_ = site::Find(bytes_);
  } catch (const std::invalid_argument& e) {
    throw std::runtime_error(path.string() + ": " + e.what());
  }
}

site::Settings BoxImage::Settings() const {
  return site::Decode(std::span<const std::uint8_t, site::kBlockSize>(bytes_.data() + blockAt_, site::kBlockSize));
}

void BoxImage::SetSettings(const site::Settings& settings) {
  const site::Block block = site::Encode(settings);
  // A box built before the mirrors ends its block at the tag's place: what
  // follows is its own data, never overwritten.
  const auto at = bytes_.begin() + static_cast<std::ptrdiff_t>(blockAt_);
  const bool hasMirrors = std::equal(site::kMirrorsTag.begin(), site::kMirrorsTag.end(),
                                     at + static_cast<std::ptrdiff_t>(site::kMirrorsTagAt));
  if (!hasMirrors && !settings.mirrors.empty()) {
    throw std::invalid_argument("this box was built before mirrors could be stamped: build it anew to give it mirrors");
  }
  std::copy(block.begin(), hasMirrors ? block.end() : block.begin() + site::kMirrorsTagAt, at);
}

void BoxImage::Save(const std::filesystem::path& path) const { WriteFileAtomically(path, bytes_, mode_); }

}  // namespace tandrel::admin
