#include "uGameRun.h"

#include "AnswerCaps.h"
#include "FileIo.h"
#include "Hutil32.h"
#include "Paths.h"
#include "TextCodec.h"
#include "Hex.h"
#include "crypto.h"
#include "download/PartFile.h"
#include "download/PartSink.h"
#include "http/Url.h"

#include <filesystem>
#include <stdexcept>

namespace tandrel {
namespace {

namespace fs = std::filesystem;

constexpr const char* kCaption = "提示";
constexpr const char* kSystemError = "系统错误";
constexpr const char* kDownloadFailed = "下载失败,请检查网络后重试";
constexpr auto kExecutable = fs::perms(0755);

}  // namespace

bool DigestMatches(const std::string& actual, const std::string& expected) {
  return !expected.empty() && EqualsIgnoringAsciiCase(actual, expected);
}

namespace {

// CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9, in any letter case: what
// stands before the first dot, blanks at its end aside.
bool IsWindowsDeviceName(std::string_view name) {
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  for (const char* device : {"CON", "PRN", "AUX", "NUL"}) {
    if (EqualsIgnoringAsciiCase(stem, device)) return true;
  }
  return stem.size() == 4 &&
         (EqualsIgnoringAsciiCase(stem.substr(0, 3), "COM") || EqualsIgnoringAsciiCase(stem.substr(0, 3), "LPT")) &&
         stem[3] >= '1' && stem[3] <= '9';
}

}  // namespace

bool IsSafeLauncherName(const std::string& name) {
  if (name.empty() || name == "." || name == ".." || IsWindowsDeviceName(name)) return false;
  for (const char c : name) {
    if (c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 32 || c == 127) return false;
  }
  return true;
}

std::optional<std::string> WebSiteAddress(const std::string& url) {
  const std::string trimmed(TrimControl(url));
  if (http::IsHttpUrl(trimmed)) return trimmed;
  if (EqualsIgnoringAsciiCase(std::string_view(trimmed).substr(0, 4), "www.") && trimmed.size() > 4 &&
      http::IsHttpUrl("http://" + trimmed)) {
    return "http://" + trimmed;
  }
  return std::nullopt;
}

GameRun::GameRun(BoxWindows& windows, platform::Shell& shell, std::string exeDir, std::string launchSuffix,
                 const trust::ReleaseRecord* release, std::vector<std::string> mirrors)
    : windows_(windows),
      shell_(shell),
      exeDir_(std::move(exeDir)),
      launchSuffix_(std::move(launchSuffix)),
      release_(release ? std::optional(*release) : std::nullopt),
      mirrors_(std::move(mirrors)) {}

bool GameRun::Signed(const std::string& name, const trust::FileEntry& actual) const {
  if (!release_) return true;
  const auto entry = release_->launchers.find(name);
  return entry != release_->launchers.end() && entry->second == actual;
}

std::string GameRun::CacheFile(const std::string& name) const {
  return exeDir_ + "Downloads" + kPathSeparator + name + ".Dat";
}

std::string GameRun::LaunchCopy(const std::string& name) const {
  return exeDir_ + "Tmp" + kPathSeparator + name + (launchSuffix_.empty() ? "" : "-" + launchSuffix_) + ".exe";
}

void GameRun::EnterGame(const TBoxConfig& entry, const std::string& serverUrl) {
  // Copied first: the waits below let other handlers run, and a reload may replace the list.
  const std::string name = entry.LauncherName, md5 = entry.Md5;
  RunLauncher(std::string(TrimControl(serverUrl)) + "getvalue/" + name + ".exe", name, md5);
}

void GameRun::OpenWebSite(const TBoxConfig& entry) {
  const auto address = WebSiteAddress(entry.Url);
  if (!address) return;
  if (const auto refusal = shell_.OpenWebAddress(*address)) windows_.ShowError(kCaption, *refusal);
}

void GameRun::RunLauncher(const std::string& url, const std::string& name, const std::string& md5) {
  // The name comes from the service and becomes a file name: a bad list must never
  // write outside the cache and launch folders.
  if (!IsSafeLauncherName(name)) return windows_.ShowError(kCaption, kSystemError);
  const std::string cacheFolder = exeDir_ + "Downloads";
  PumpMessages();
  if (!fs::is_directory(PathFromUtf8(cacheFolder))) return DownloadLauncher(url, name, md5);
  const std::string cache = CacheFile(name);
  if (!fs::exists(PathFromUtf8(cache))) return DownloadLauncher(url, name, md5);
  PumpMessages();
  const std::string digest = GetFileMd5(cache);
  PumpMessages();
  if (!DigestMatches(digest, md5)) return DownloadLauncher(url, name, md5);
  if (release_ && !Signed(name, trust::EntryOfFile(PathFromUtf8(cache)))) return DownloadLauncher(url, name, md5);

  EnsureFolder(PathFromUtf8(exeDir_ + "Tmp"));
  const std::string target = LaunchCopy(name);
  PumpMessages();
  // A new file renamed into place. On Linux it also replaces a copy that is still
  // running; Windows refuses, and the failure says so.
  CopyFileAtomically(PathFromUtf8(cache), PathFromUtf8(target), kExecutable);
  Delay(1000);
  PumpMessages();
  if (const auto refusal = shell_.StartProgram(PathFromUtf8(target))) windows_.ShowError(kCaption, *refusal);
}

void GameRun::DownloadLauncher(const std::string& url, const std::string& name, const std::string& md5) {
  if (!IsSafeLauncherName(name)) return windows_.ShowError(kCaption, kSystemError);
  EnsureFolder(PathFromUtf8(exeDir_ + "Downloads"));
  const fs::path cache = PathFromUtf8(CacheFile(name));
  download::DownloadRequest request{name, {url}, cache, caps::kLauncher, 2, release_.has_value()};
  // A mirror serves the same tree; it is trusted for nothing, the checks below decide.
  const std::string path = "getvalue/" + name + ".exe";
  for (const std::string& mirror : mirrors_) request.sources.push_back(mirror + path);
  if (release_) {
    // Signed: only a launcher the record names, and no more than its size.
    const auto entry = release_->launchers.find(name);
    if (entry == release_->launchers.end()) return windows_.ShowError(kCaption, kSystemError);
    request.maxSize = entry->second.size;
  }
  download::DownloadedFile file;
  switch (windows_.Download(request, file)) {
    case DownloadResult::Cancelled:
      return;  // the player's choice: nothing to say; what arrived stays for the next click
    // A line that broke is said, not left as a dialog that vanished without a word.
    case DownloadResult::Failed: return windows_.ShowError(kCaption, kDownloadFailed);
    case DownloadResult::NoRoom: return windows_.ShowError(kCaption, download::kNoRoom);
    case DownloadResult::Completed: break;
  }
  // Only bytes that match the list's digest, and the operator's signature where
  // there is one, become the cache file; any others go, to be fetched whole.
  const bool good =
      DigestMatches(ToHex(file.md5), md5) && (!release_ || (file.sha256 && Signed(name, {file.size, *file.sha256})));
  if (!good) {
    download::DiscardPart(cache);
    return windows_.ShowError(kCaption, kSystemError);
  }
  download::CommitPart(cache, fs::perms(0644));
  PumpMessages();
  RunLauncher(url, name, md5);
}

}  // namespace tandrel
