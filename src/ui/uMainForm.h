// The box's main window: start-up sequence, timers, the server list and the
// window's own controls.
#pragma once

#include "Artwork.h"
#include "Pictures.h"
#include "ServerListView.h"
#include "uDownloadForm.h"

#include "core/BoxWindows.h"
#include "core/Placement.h"
#include "core/uGameRun.h"
#include "core/ServerListLoader.h"
#include "core/http/CurlClient.h"

#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <chrono>

namespace tandrel::ui {

struct MainFormOptions {
  // The timers' intervals; tests run the time line faster.
  std::chrono::milliseconds timer1{150}, timer2{200}, timer3{2000}, timer4{1800000};
  // The service the window talks to; the running box reads its own settings.
  ServerListLoader::SiteSource site = CurrentServiceSite;
  // Relocation, self-update, desktop entry and clean-up, made for this window and
  // its client; without it those steps are skipped.
  std::function<std::shared_ptr<Placement>(BoxWindows& windows, http::Client& client)> placement;
  // The folder the cache and launch folders go in; the running box's own when empty.
  std::string exeDir;
  platform::Shell* shell = &platform::SystemShell();
};

class TMainForm final : public QWidget, private BoxWindows {
  Q_OBJECT

 public:
  // Runs FormCreate, the start-up sequence, before the window is first shown.
  explicit TMainForm(MainFormOptions options = {});
  ~TMainForm() override;

  ServerListView& ControlList1() { return *ControlList1_; }
  const QPixmap& Banner() const { return Image2_->pixmap(); }
  const TConfig* Config() const { return loader_.Config(); }
  QTimer& Timer(int number);

  void Image1Click();
  void Image7Click();
  void Image8Click();

 signals:
  // A download dialog is about to show, for tests to watch or cancel.
  void downloadStarting(TDownloadForm* dialog);

 private:
  void FormCreate();
  void FormDestroy();
  void Timer1Timer();
  void Timer2Timer();
  void Timer3Timer();
  void Timer4Timer();
  void LoadLogo();
  void LoadServerList();
  void ControlListButton1Click(int row);
  void ControlListButton2Click(int row);
  void PlaceOnScreen();
  const TBoxConfig& EntryAt(int row) const;
  std::string Folder() const;
  GameRun LauncherFlow();
  bool Download(const std::string& name, const std::string& url, std::uint64_t maxBody,
                http::Response& response) override;
  void ShowError(const std::string& caption, const std::string& text) override;

  MainFormOptions options_;
  Artwork art_;
  http::CurlClient NetHTTPClient1_;
  std::shared_ptr<Placement> placement_;
  Picture* Image6_;
  QLabel* Label2_;
  QLabel* Label1_;
  PressPicture* Image1_;
  WindowMovePicture* Image2_;
  PressPicture* Image7_;
  PressPicture* Image8_;
  ServerListView* ControlList1_;
  ServerListLoader loader_;
  QTimer Timer1_, Timer2_, Timer3_, Timer4_;
};

}  // namespace tandrel::ui
