// The main window's Qt window: lays out and paints the pictures, headings and the
// server list, forwards clicks and timer ticks to forms::TMainForm and shows what
// it asks for.
#pragma once

#include "Artwork.h"
#include "Pictures.h"
#include "QtEventLoop.h"
#include "ServerListView.h"
#include "uDownloadForm.h"

#include "core/forms/uMainForm.h"

#include <QLabel>
#include <QWidget>

namespace tandrel::ui {

class MainWindow final : public QWidget, private forms::MainFormScreen {
  Q_OBJECT

 public:
  // Runs FormCreate, the start-up sequence, before the window is first shown.
  explicit MainWindow(forms::MainFormOptions options = {});
  ~MainWindow() override;

  ServerListView& ControlList1() { return *ControlList1_; }
  const QPixmap& Banner() const { return Image2_->pixmap(); }

 signals:
  // A download dialog is about to show, for tests to watch or cancel.
  void downloadStarting(DownloadDialog* dialog);

 private:
  void PlaceOnScreen();
  // Gives the window its pictures and headings.
  void Furnish();
  bool ShowBanner(const http::Bytes& picture) override;
  void RepaintListNow() override;
  void ClearListSelection() override;
  void Minimise() override;
  void Close() override;
  DownloadResult RunDownloadForm(const download::DownloadRequest& request, download::DownloadedFile& file) override;
  void ShowMessage(forms::MessageIcon icon, forms::MessagePlace place, const std::string& caption,
                   const std::string& text) override;

  const forms::WindowLayout layout_;
  Artwork art_;
  QtTimers timers_;
  Picture* Image6_;
  QLabel* Label2_ = nullptr;
  QLabel* Label1_ = nullptr;
  PressPicture* Image1_;
  WindowMovePicture* Image2_;
  PressPicture* Image7_;
  PressPicture* Image8_;
  ServerListView* ControlList1_;
  forms::TMainForm form_;
};

}  // namespace tandrel::ui
