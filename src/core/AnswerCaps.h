// The largest answer the box takes for each of its requests. Each cap is far
// above what an honest service sends, so only a broken or hostile one meets it;
// receiving stops there and the request fails as one that got no answer.
#pragma once

#include <cstdint>

namespace tandrel::caps {

inline constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;

// A list of 10,000 servers is about 2.6 MB.
inline constexpr std::uint64_t kServerList = 32 * kMiB;
// A picture of the banner's size, even uncompressed.
inline constexpr std::uint64_t kBanner = 16 * kMiB;
// "ok" or another short word; room for an error page.
inline constexpr std::uint64_t kUpdateAnswer = 64 * 1024;
inline constexpr std::uint64_t kReleaseRecord = 64 * 1024;
// The box is a few megabytes; its checks read it whole.
inline constexpr std::uint64_t kNewBox = 256 * kMiB;
// A launcher goes to disk as it arrives, within the drive's free space; this only
// stops a length no launcher has (a signed site's record gives the exact size).
inline constexpr std::uint64_t kLauncher = 64 * 1024 * kMiB;

}  // namespace tandrel::caps
