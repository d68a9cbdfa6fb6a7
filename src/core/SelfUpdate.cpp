#include "SelfUpdate.h"

#include "AnswerCaps.h"
#include "FileIo.h"
#include "Hutil32.h"
#include "crypto.h"
#include "Hex.h"
#include "Paths.h"
#include "download/PartFile.h"
#include "download/PartSink.h"
#include "http/BodyText.h"
#include "platform/Charsets.h"
#include "platform/Process.h"
#include "trust/ReleaseGate.h"

#include <filesystem>
#include <stdexcept>

namespace tandrel {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUpdateName = "自动更新";
constexpr const char* kCaption = "提示";

}  // namespace

SelfUpdate::SelfUpdate(http::Client& client, BoxWindows& windows, platform::Shell& shell, std::string exePath,
                       std::function<ServiceSite()> site, std::function<void()> requestTermination,
                       platform::ExecutableSwap& swap)
    : client_(client),
      windows_(windows),
      shell_(shell),
      exePath_(std::move(exePath)),
      site_(std::move(site)),
      requestTermination_(std::move(requestTermination)),
      swap_(swap) {}

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
  bool end = false;
  try {
    end = Update(site, digest);
  } catch (...) {
    requestTermination_();
    throw;
  }
  if (end) requestTermination_();
  return end;
}

std::optional<SelfUpdate::Release> SelfUpdate::SignedRelease(const ServiceSite& site) {
  http::Response answer;
  try {
    answer = client_.Get(ReleaseRecordUrl(site), {}, caps::kReleaseRecord);
  } catch (const http::Error&) {
    return std::nullopt;
  }
  const std::string folder = FolderText(PathFromUtf8(exePath_).parent_path());
  trust::ReleaseGate gate(site.trust, trust::KeptTrustFolders(folder));
  if (gate.Offer(std::string_view(reinterpret_cast<const char*>(answer.body.data()), answer.body.size())) !=
      trust::Verdict::Accepted) {
    return std::nullopt;
  }
  Release release{*gate.Current(), *gate.SigningKey()};
  if (release.record.box == trust::EntryOfFile(PathFromUtf8(exePath_))) return std::nullopt;  // it names this box
  return release;
}

bool SelfUpdate::Signed(const http::Bytes& box, const Release& release, const site::Trust& running) const {
  const auto sha256 = platform::MakeSha256();
  sha256->Update(box);
  if (trust::FileEntry{box.size(), sha256->Finish()} != release.record.box) return false;
  site::Trust stamped;
  try {
    const std::size_t at = site::Find(box);
    stamped = site::Decode(std::span<const std::uint8_t, site::kBlockSize>(box.data() + at, site::kBlockSize)).trust;
  } catch (const std::invalid_argument&) {
    return false;
  }
  // The new box trusts the release's signer first (after a rotation: the old
  // standby, with a new standby behind it).
  return stamped.keys[0] == release.key && stamped.floor <= release.record.serial && stamped.floor >= running.floor;
}

bool SelfUpdate::Update(const ServiceSite& site, const std::string& runningDigest) {
  // Signed, only a release that verifies and names another box leads to an update.
  std::optional<Release> release;
  if (site.trust.Stamped() && !(release = SignedRelease(site))) return false;
  const fs::path incoming = PathFromUtf8(exePath_ + ".new");
  // The checks below read the new box whole: the dialog needs take no digest.
  download::DownloadRequest request{kUpdateName, {NewProgramUrl(site)}, incoming, caps::kNewBox, 1, false};
  if (release) {
    // Signed, a mirror may serve the box too: the release decides what is taken, to the byte.
    for (const std::string& mirror : site.mirrors) request.sources.push_back(mirror + "getvalue/box.exe");
    request.maxSize = release->record.box.size;
  }
  download::DownloadedFile file;
  switch (windows_.Download(request, file)) {
    case DownloadResult::Cancelled: return true;  // the player chose to end; nothing changes
    case DownloadResult::Failed: return Failed();
    case DownloadResult::NoRoom: return Failed(download::kNoRoom);
    case DownloadResult::Completed: break;
  }
  // The new box is read whole and checked as read; those very bytes are what
  // replaces the running box (another box's download may change the part file
  // meanwhile). It is a few megabytes, and no more than the cap.
  http::Bytes box;
  try {
    box = ReadWholeFile(download::PartPath(incoming));
  } catch (const std::runtime_error&) {
    return Failed();
  }
  download::DiscardPart(incoming);
  // Only a whole program for this machine replaces the box: never an error page.
  const bool usable = box.size() >= kSmallestBox && platform::IsExecutableForThisMachine(box);
  if (!usable) return Failed();
  // The service gave back the box that runs (its check answers an error page,
  // say): installing it would only bring the same answer at the next start, and
  // the next, with the list never shown.
  if (GetBytesMd5(box) == runningDigest) return false;
  if (release && !Signed(box, *release, site.trust)) return Failed();
  // A box that cannot replace itself (a folder it may not write, a full disk, a
  // backup it cannot remove) says so and runs on as it is.
  try {
    const std::string backup = exePath_ + ".bak";
    std::error_code error;
    if (fs::exists(PathFromUtf8(backup), error) && !fs::remove(PathFromUtf8(backup), error)) {
      throw std::runtime_error("Cannot delete file \"" + backup + "\". " + platform::ErrorCodeText(error));
    }
    Replace(box);
  } catch (const std::exception&) {
    return Failed();
  }
  // The new box is in place for the next start; if the system would not start it
  // now, this one goes on rather than leave the player with none.
  return !shell_.StartProgram(PathFromUtf8(exePath_));
}

// Whatever kept the new box from its place, the running one goes on: ending here
// would end every start the same way while the service stays so.
bool SelfUpdate::Failed(const char* text) {
  windows_.ShowError(kCaption, text);
  return false;
}

// The new box is written whole and flushed beside the old one first; then the two
// renames follow each other with nothing between them. On Linux the backup is a
// second name, so the box's own name never stops holding a program; on Windows
// it is free from the first rename to the second, a moment no delay or message
// may widen. If the second fails, the first is undone at once.
void SelfUpdate::Replace(const http::Bytes& newBox) {
  const fs::path exe = PathFromUtf8(exePath_), incoming = PathFromUtf8(exePath_ + ".new"),
                 backup = PathFromUtf8(exePath_ + ".bak");
  WriteFileAtomically(incoming, newBox, fs::perms(0755));
  Delay(200);
  swap_.BackUp(exe, backup);
  try {
    swap_.MoveIntoPlace(incoming, exe);
  } catch (...) {
    swap_.UndoBackUp(exe, backup);
    std::error_code ignored;
    fs::remove(incoming, ignored);
    throw;
  }
}

}  // namespace tandrel
