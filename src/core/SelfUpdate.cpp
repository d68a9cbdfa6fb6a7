#include "SelfUpdate.h"

#include "AnswerCaps.h"
#include "FileIo.h"
#include "Hutil32.h"
#include "crypto.h"
#include "Paths.h"
#include "http/BodyText.h"
#include "platform/Process.h"

#include <filesystem>
#include <stdexcept>

namespace tandrel {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUpdateName = "自动更新";
constexpr const char* kCaption = "提示";
constexpr const char* kUpdateFailed = "更新主程序失败,请重新试,或者联系管理员";

}  // namespace

SelfUpdate::SelfUpdate(http::Client& client, BoxWindows& windows, platform::Shell& shell, std::string exePath,
                       std::function<ServiceSite()> site, std::function<void()> requestTermination)
    : client_(client),
      windows_(windows),
      shell_(shell),
      exePath_(std::move(exePath)),
      site_(std::move(site)),
      requestTermination_(std::move(requestTermination)) {}

bool SelfUpdate::CheckSelfUpdate() {
  const std::string digest = GetFileMd5(exePath_);
  const ServiceSite site = site_();
  http::Response answer;
  try {
    answer = client_.Get(UpdateCheckUrl(site, digest), AuthorizationHeaders(site), caps::kUpdateAnswer);
  } catch (const http::Error&) {
    return false;  // no answer: start as usual
  }
  if (http::BodyText(answer) == "ok") return false;
  try {
    if (!Update(site)) return false;
  } catch (...) {
    requestTermination_();
    throw;
  }
  requestTermination_();
  return true;
}

bool SelfUpdate::Update(const ServiceSite& site) {
  http::Response download;
  if (!windows_.Download(kUpdateName, NewProgramUrl(site), caps::kNewBox, download)) return true;  // nothing changes
  // Only a whole program for this machine replaces the box: never an error page.
  const bool usable = download.status >= 200 && download.status < 300 && download.body.size() >= kSmallestBox &&
                      platform::IsExecutableForThisMachine(download.body);
  if (!usable) {
    windows_.ShowError(kCaption, kUpdateFailed);
    return true;
  }
  // A box that cannot replace itself (a folder it may not write, a full disk, a
  // backup it cannot remove) says so and runs on as it is: ending here would end
  // every start the same way, with nothing said.
  try {
    const std::string backup = exePath_ + ".bak";
    std::error_code error;
    if (fs::exists(PathFromUtf8(backup), error) && !fs::remove(PathFromUtf8(backup), error)) {
      throw std::runtime_error("Cannot delete file \"" + backup + "\". " + error.message());
    }
    Replace(download.body);
  } catch (const std::exception&) {
    windows_.ShowError(kCaption, kUpdateFailed);
    return false;
  }
  shell_.StartProgram(PathFromUtf8(exePath_));
  return true;
}

// The new box is written whole beside the old one first, so the box's own name
// always holds a runnable program: the backup is a second name for the old file,
// and the rename that puts the new one in place replaces the old name at once.
// If anything fails after the backup, the old box keeps or gets back its name.
void SelfUpdate::Replace(const http::Bytes& newBox) {
  const fs::path exe = PathFromUtf8(exePath_), incoming = PathFromUtf8(exePath_ + ".new"),
                 backup = PathFromUtf8(exePath_ + ".bak");
  WriteFileAtomically(incoming, newBox, fs::perms(0755));
  Delay(200);
  platform::BackUpRunningExecutable(exe, backup);
  Delay(100);
  try {
    if (afterBackup_) afterBackup_();
    platform::MoveExecutableIntoPlace(incoming, exe);
  } catch (...) {
    platform::UndoExecutableBackup(exe, backup);
    std::error_code ignored;
    fs::remove(incoming, ignored);
    throw;
  }
}

}  // namespace tandrel
