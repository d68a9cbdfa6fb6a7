#include "Relocation.h"

#include "FileIo.h"
#include "Hutil32.h"
#include "Paths.h"
#include "TextCodec.h"
#include "platform/Charsets.h"
#include "platform/FileIdentity.h"

#include <filesystem>

namespace tandrel {
namespace {

namespace fs = std::filesystem;

constexpr const char* kHandOff = "del.dat";

// A box stopped while it wrote its update leaves the new box, whole or in part,
// beside itself: "<name>.new", or its temporary file ".<name>.new.XXXXXX".
void RemoveUnfinishedUpdates(const fs::path& exe) {
  const std::string incoming = Utf8FromPath(exe.filename()) + ".new";
  const std::string partPrefix = "." + incoming + ".";
  std::error_code error, ignored;
  for (fs::directory_iterator it(exe.parent_path(), error), end; !error && it != end; it.increment(error)) {
    const std::string name = Utf8FromPath(it->path().filename());
    const bool part = name.size() == partPrefix.size() + 6 && name.starts_with(partPrefix);
    // A download of the new box that did not finish is not resumed at the next start.
    const bool download = name == incoming + ".part" || name == incoming + ".part.info";
    if ((name == incoming || part || download) && it->is_regular_file(ignored)) fs::remove(it->path(), ignored);
  }
}

}  // namespace

std::string DecodeHandOffText(const std::string& bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return SanitizeUtf8(std::string_view(bytes).substr(3));
  if (bytes.starts_with("\xFF\xFE")) return ToUtf8(std::string_view(bytes).substr(2), "UTF-16LE");
  if (bytes.starts_with("\xFE\xFF")) return ToUtf8(std::string_view(bytes).substr(2), "UTF-16BE");
  if (ValidUtf8Prefix(bytes) == bytes.size()) return bytes;
  return platform::SystemCharsetToUtf8(bytes);
}

Relocation::Relocation(platform::Shell& shell, std::string exePath, std::function<void()> requestTermination)
    : shell_(shell), exePath_(std::move(exePath)), requestTermination_(std::move(requestTermination)) {}

bool Relocation::RelocateIfNeeded(const std::string& installDir) {
  const fs::path folder = PathFromUtf8(installDir);
  EnsureFolder(folder);
  const fs::path exe = PathFromUtf8(exePath_);
  // The same folder as the system sees it: through links, and in any letter case
  // where the file system ignores it.
  if (platform::IsSameFile(exe.parent_path(), folder)) return false;

  const fs::path copy = folder / exe.filename();
  // A whole new file renamed into place, executable. On Linux this also replaces
  // a copy that runs; Windows refuses to replace a running program's file, and the
  // copy fails with the system's words.
  CopyFileAtomically(exe, copy, fs::perms(0755));
  const fs::path handOff = folder / kHandOff;
  std::error_code error;
  if (fs::exists(handOff) && !fs::remove(handOff, error)) {
    throw std::runtime_error("Cannot delete file \"" + Utf8FromPath(handOff) + "\". " + platform::ErrorCodeText(error));
  }
  Delay(100);
  WriteFileAtomically(handOff, std::span(reinterpret_cast<const std::uint8_t*>(exePath_.data()), exePath_.size()));
  // A copy the system would not start must not leave the player without a box:
  // this one goes on with its whole start-up where it is.
  if (shell_.StartProgram(copy)) {
    fs::remove(handOff, error);
    return false;
  }
  requestTermination_();
  return true;
}

void Relocation::CleanUpLeftovers() {
  Delay(1000);
  const fs::path exe = PathFromUtf8(exePath_);
  const fs::path handOff = exe.parent_path() / kHandOff;
  std::error_code ignored;
  if (fs::exists(handOff)) {
    const auto bytes = ReadWholeFile(handOff);
    const fs::path named = PathFromUtf8(DecodeHandOffText(std::string(bytes.begin(), bytes.end())));
    fs::remove(handOff, ignored);
    // Only ever the executable this one was copied from: never an unrelated file,
    // never the running box itself.
    if (named.filename() == exe.filename() && !platform::IsSameFile(named, exe) &&
        fs::is_regular_file(named, ignored)) {
      fs::remove(named, ignored);
    }
  }
  fs::remove(PathFromUtf8(exePath_ + ".bak"), ignored);
  RemoveUnfinishedUpdates(exe);
}

}  // namespace tandrel
