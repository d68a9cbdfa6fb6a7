#include "uMainForm.h"

#include "Termination.h"
#include "FailureReport.h"

#include "core/FileIo.h"
#include "core/Hutil32.h"
#include "core/Paths.h"
#include "core/ProgramPaths.h"
#include "core/download/PartFile.h"
#include "core/Share.h"
#include "platform/Trace.h"

#include <cstdio>
#include <stdexcept>

namespace tandrel::forms {

TMainForm::TMainForm(MainFormScreen& screen, TimerFactory& timers, RowCountView& ControlList1, MainFormOptions options)
    : screen_(screen),
      options_(std::move(options)),
      loader_(NetHTTPClient1_, ControlList1, options_.site),
      Timer1_(timers.MakeTimer([this] { Timer1Timer(); })),
      Timer2_(timers.MakeTimer([this] { Timer2Timer(); })),
      Timer3_(timers.MakeTimer([this] { Timer3Timer(); })),
      Timer4_(timers.MakeTimer([this] { Timer4Timer(); })) {
  Timer1_->SetInterval(options_.timer1);
  Timer2_->SetInterval(options_.timer2);
  Timer3_->SetInterval(options_.timer3);
  Timer4_->SetInterval(options_.timer4);
  Timer1_->SetEnabled(true);
  if (options_.placement) placement_ = options_.placement(*this, NetHTTPClient1_);
}

TMainForm::~TMainForm() { FormDestroy(); }

void TMainForm::FormCreate() {
  LaunchSuffix = LaunchSuffixOf(ExeFileName());
  if (placement_ && placement_->RelocateIfNeeded()) return;
  if (placement_ && placement_->CheckSelfUpdate()) {
    RequestTermination();
    // Closes by itself: termination is already requested.
    screen_.ShowMessage(MessageIcon::None, MessagePlace::OnScreen, ApplicationTitle(), "结束进程1");
  }
  Delay(100);
  Timer2_->SetEnabled(true);
  Timer4_->SetEnabled(true);
  if (placement_) placement_->CreateDesktopShortcut(ShortcutName());
  EnsureFolder(PathFromUtf8(Folder() + "Downloads"));
  EnsureFolder(PathFromUtf8(Folder() + "Tmp"));
}

void TMainForm::FormDestroy() {
  // The trace tag goes out untrimmed, all 150 bytes, as one line.
  const auto tag = TraceTag();
  platform::WriteTraceLine(tag);
  loader_.ReleaseConfig();
}

void TMainForm::Timer1Timer() { screen_.RepaintListNow(); }

void TMainForm::Timer2Timer() {
  Timer2_->SetEnabled(false);
  // Signed, the release comes first: the banner and the list are checked against it.
  const bool gated = Gate() != nullptr;
  if (gated) loader_.FetchRelease();
  LoadLogo();
  LoadServerList(!gated);
  Timer3_->SetEnabled(true);
}

void TMainForm::Timer3Timer() {
  Timer3_->SetEnabled(false);
  if (placement_) placement_->CleanUpLeftovers();
  download::RemoveStaleParts(PathFromUtf8(Folder() + "Downloads"));
}

void TMainForm::Timer4Timer() {
  screen_.ClearListSelection();
  LoadServerList();
}

void TMainForm::Image1Click() {
  screen_.ClearListSelection();
  LoadServerList(true, true);
}

void TMainForm::Image7Click() { screen_.Close(); }

void TMainForm::Image8Click() { screen_.Minimise(); }

void TMainForm::LoadLogo() {
  http::Bytes bytes;
  try {
    bytes = loader_.LoadLogo();
  } catch (const http::Error&) {
    screen_.ShowMessage(MessageIcon::Error, MessagePlace::OverMainWindow, "提示", "网络连接失败");
    return;
  }
  if (!loader_.BannerSigned(bytes)) return;  // signed and not the release's: no banner, nothing said
  // The format is told by the content, not by the name or the headers.
  if (!screen_.ShowBanner(bytes)) throw std::runtime_error("Unsupported stream format");
}

trust::ReleaseGate* TMainForm::Gate() {
  if (!gateChecked_) {
    gateChecked_ = true;
    const site::Trust trust = options_.site().trust;
    if (!trust.Stamped()) return nullptr;
    gate_ = std::make_unique<trust::ReleaseGate>(trust, trust::KeptTrustFolders(Folder()));
    loader_.SetGate(gate_.get());
  }
  return gate_.get();
}

// Not raised as errors: the timers and the clean-up go on as after any list.
void TMainForm::LoadServerList(bool fetchRelease, bool byClick) {
  Gate();
  using Trust = ServerListLoader::ListTrust;
  const Trust trust = loader_.LoadServerList(fetchRelease);
  if (trust == Trust::Taken) listVerified_ = true;
  if (trust != Trust::Unverified && trust != Trust::BoxTooOld) return;
  if (listVerified_ || byClick) {
    screen_.ShowMessage(
        MessageIcon::Error, MessagePlace::OverMainWindow, "提示",
        trust == Trust::BoxTooOld ? "游戏盒子版本过旧,请重新下载" : "服务器列表校验失败,请稍后再试,或者联系管理员");
  }
  listVerified_ = false;
}

const TBoxConfig& TMainForm::EntryAt(int row) const {
  const TConfig* config = loader_.Config();
  if (!config || row < 0 || static_cast<std::size_t>(row) >= config->ServerList().size()) {
    throw std::out_of_range("Argument out of range: row " + std::to_string(row));
  }
  return config->ServerList()[static_cast<std::size_t>(row)];
}

std::string TMainForm::Folder() const { return options_.exeDir.empty() ? ExeDir() : options_.exeDir; }

GameRun TMainForm::LauncherFlow() {
  return GameRun(*this, *options_.shell, Folder(), LaunchSuffix, loader_.ListRelease(), options_.site().mirrors);
}

void TMainForm::ControlListButton1Click(int row) { LauncherFlow().EnterGame(EntryAt(row), options_.site().serverUrl); }

void TMainForm::ControlListButton2Click(int row) { LauncherFlow().OpenWebSite(EntryAt(row)); }

DownloadResult TMainForm::Download(const download::DownloadRequest& request, download::DownloadedFile& file) {
  return screen_.RunDownloadForm(request, file);
}

void TMainForm::ShowError(const std::string& caption, const std::string& text) {
  screen_.ShowMessage(MessageIcon::Error, MessagePlace::OnScreen, caption, text);
}

}  // namespace tandrel::forms
