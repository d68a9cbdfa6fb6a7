// A built box executable on disk, with its site settings block located.
#pragma once

#include "core/SiteBlock.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace tandrel::admin {

class BoxImage {
 public:
  // Throws when the file cannot be read or holds no single settings block.
  explicit BoxImage(const std::filesystem::path& path);

  site::Settings Settings() const;
  void SetSettings(const site::Settings& settings);
  // Writes the whole image to a temporary file and renames it into place, with the
  // permissions of the file it was read from.
  void Save(const std::filesystem::path& path) const;

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t blockAt_;
  std::filesystem::perms mode_;
};

}  // namespace tandrel::admin
