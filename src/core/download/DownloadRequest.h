// One file the download dialog fetches: where from, where it goes, and what the
// box takes. The body goes to a part file beside the target as it arrives, and
// becomes the target only when the caller has checked it.
#pragma once

#include "platform/Crypto.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tandrel::download {

struct DownloadRequest {
  std::string name;                  // shown in the dialog's title
  std::vector<std::string> sources;  // whole URLs, tried in order: the service first, then its mirrors
  std::filesystem::path target;      // the file it becomes once checked
  std::uint64_t maxSize = 0;         // the most the box takes from any answer
  // The room the file needs on its drive, in its own lengths: a launcher is
  // copied out before it starts, so it takes two.
  unsigned copies = 1;
  bool sha256 = false;  // take the SHA-256 too (a signed site checks it)
};

// What is in the part file once a download completed: its size and digests,
// taken over the whole file, not only over what the last attempt brought.
struct DownloadedFile {
  std::uint64_t size = 0;
  platform::Md5Digest md5{};
  std::optional<platform::Sha256Digest> sha256;
};

}  // namespace tandrel::download
