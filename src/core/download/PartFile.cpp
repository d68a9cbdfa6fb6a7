#include "PartFile.h"

#include "core/FileIo.h"
#include "core/Paths.h"
#include "platform/Charsets.h"
#include "platform/Files.h"

#include <algorithm>
#include <system_error>

namespace tandrel::download {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPart = ".part", kInfo = ".part.info";
constexpr std::string_view kInfoHeader = "tandrel part 1";
// A validator is sent back in a header: printable ASCII only, and short.
constexpr std::size_t kMaxValidator = 256;

fs::path WithSuffix(const fs::path& target, std::string_view suffix) {
  return PathFromUtf8(Utf8FromPath(target) + std::string(suffix));
}

bool Printable(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

}  // namespace

fs::path PartPath(const fs::path& target) { return WithSuffix(target, kPart); }

fs::path PartInfoPath(const fs::path& target) { return WithSuffix(target, kInfo); }

std::optional<PartInfo> ReadPartInfo(const fs::path& target) {
  std::vector<std::uint8_t> bytes;
  try {
    bytes = ReadWholeFile(PartInfoPath(target));
  } catch (const std::runtime_error&) {
    return std::nullopt;
  }
  const std::string text(bytes.begin(), bytes.end());
  // Three lines: the header, the URL, the validator.
  const std::size_t a = text.find('\n'), b = a == std::string::npos ? a : text.find('\n', a + 1);
  if (b == std::string::npos || text.substr(0, a) != kInfoHeader || !text.ends_with('\n')) return std::nullopt;
  PartInfo info{text.substr(a + 1, b - a - 1), text.substr(b + 1, text.size() - b - 2)};
  if (info.url.empty() || !Printable(info.url) || !Printable(info.validator)) return std::nullopt;
  return info;
}

void WritePartInfo(const fs::path& target, const PartInfo& info) {
  const std::string text = std::string(kInfoHeader) + "\n" + info.url + "\n" + info.validator + "\n";
  WriteFileAtomically(PartInfoPath(target), std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::optional<std::string> ValidatorOf(const std::string& etag, const std::string& lastModified) {
  // A weak ETag ("W/...") may not stand in an If-Range.
  for (const std::string& value : {etag, lastModified}) {
    if (!value.empty() && !value.starts_with("W/") && value.size() <= kMaxValidator && Printable(value)) return value;
  }
  return std::nullopt;
}

void CommitPart(const fs::path& target, fs::perms mode) {
  const fs::path part = PartPath(target);
  std::error_code error;
  const std::uintmax_t size = fs::file_size(part, error);
  if (error)
    throw std::runtime_error("Cannot open file \"" + Utf8FromPath(part) + "\". " + platform::ErrorCodeText(error));
  platform::OpenPartFile(part, target, size)->Commit(mode, false);
  fs::remove(PartInfoPath(target), error);
}

void DiscardPart(const fs::path& target) {
  std::error_code ignored;
  fs::remove(PartPath(target), ignored);
  fs::remove(PartInfoPath(target), ignored);
}

void RemoveStaleParts(const fs::path& folder, std::chrono::hours maxAge) {
  const auto oldest = fs::file_time_type::clock::now() - maxAge;
  std::error_code error, ignored;
  // A part and its info go together, by the age of the part, which each resumed
  // attempt writes to; an info without its part goes by its own age.
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = Utf8FromPath(it->path().filename());
    if (!(name.ends_with(kPart) || name.ends_with(kInfo)) || !it->is_regular_file(ignored)) continue;
    const std::string target = name.substr(0, name.size() - (name.ends_with(kInfo) ? kInfo : kPart).size());
    const fs::path part = folder / PathFromUtf8(target + std::string(kPart));
    const fs::path aged = fs::exists(part, ignored) ? part : it->path();
    const auto written = fs::last_write_time(aged, ignored);
    if (!ignored && written < oldest) fs::remove(it->path(), ignored);
  }
}

}  // namespace tandrel::download
