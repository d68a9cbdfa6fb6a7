// The main window's logic: the start-up sequence, the four timers, the loads of
// the banner and the list, the refresh, minimise and close controls and the two
// row buttons. A window layer forwards its input and timer ticks to these
// handlers and shows what they ask of its MainFormScreen.
#pragma once

#include "FormTimer.h"
#include "MainFormScreen.h"

#include "core/BoxWindows.h"
#include "core/Placement.h"
#include "core/ServerListLoader.h"
#include "core/uGameRun.h"
#include "core/http/SystemClient.h"
#include "platform/Shell.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace tandrel::forms {

struct MainFormOptions {
  // The timers' intervals; tests run the time line faster.
  std::chrono::milliseconds timer1{150}, timer2{200}, timer3{2000}, timer4{1800000};
  // The service the window talks to; the running box reads its own settings.
  ServerListLoader::SiteSource site = CurrentServiceSite;
  // Relocation, self-update, desktop entry and clean-up, made for this window and
  // its client; without it those steps are skipped.
  std::function<std::shared_ptr<Placement>(BoxWindows& windows, http::Client& client)> placement;
  // The folder the cache and launch folders go in (ending in "/"); the running box's own when empty.
  std::string exeDir;
  platform::Shell* shell = &platform::SystemShell();
};

class TMainForm final : private BoxWindows {
 public:
  // Creates the timers, Timer1 enabled, and the placement; nothing runs yet.
  // ControlList1 is the list's row count, which the loads keep.
  TMainForm(MainFormScreen& screen, TimerFactory& timers, RowCountView& ControlList1, MainFormOptions options = {});
  // Runs FormDestroy.
  ~TMainForm() override;
  TMainForm(const TMainForm&) = delete;
  TMainForm& operator=(const TMainForm&) = delete;

  // The start-up sequence; the window layer runs it once, before the window is first shown.
  void FormCreate();

  void Timer1Timer();
  void Timer2Timer();
  void Timer3Timer();
  void Timer4Timer();
  // The refresh, close and minimise pictures.
  void Image1Click();
  void Image7Click();
  void Image8Click();
  // The row buttons, with the row their Tag holds.
  void ControlListButton1Click(int row);
  void ControlListButton2Click(int row);

  // The current list, or nullptr while there is none.
  const TConfig* Config() const { return loader_.Config(); }

 private:
  void FormDestroy();
  void LoadLogo();
  // byClick: the refresh picture, after which a list that cannot be verified is
  // said every time, not only at the first failing load.
  void LoadServerList(bool fetchRelease = true, bool byClick = false);
  // The gate of a box stamped with trust keys, made at its first use (after the
  // self-update, which keeps what it accepts); nullptr unsigned.
  trust::ReleaseGate* Gate();
  const TBoxConfig& EntryAt(int row) const;
  std::string Folder() const;
  GameRun LauncherFlow();
  DownloadResult Download(const download::DownloadRequest& request, download::DownloadedFile& file) override;
  void ShowError(const std::string& caption, const std::string& text) override;

  MainFormScreen& screen_;
  MainFormOptions options_;
  http::SystemClient NetHTTPClient1_;
  ServerListLoader loader_;
  std::shared_ptr<Placement> placement_;
  std::unique_ptr<FormTimer> Timer1_, Timer2_, Timer3_, Timer4_;
  std::unique_ptr<trust::ReleaseGate> gate_;
  bool gateChecked_ = false;
  bool listVerified_ = true;  // the last list that arrived was verified (or none yet)
};

}  // namespace tandrel::forms
