// The download dialog's Qt window: a small borderless modal window that shows
// what forms::TDownloadForm says (title, progress, speed) and forwards the close
// image's click and any request to close to it.
#pragma once

#include "Artwork.h"
#include "Pictures.h"
#include "QtEventLoop.h"

#include "core/forms/WindowLayout.h"
#include "core/forms/uDownloadForm.h"

#include <QDialog>
#include <QLabel>
#include <QProgressBar>

namespace tandrel::ui {

class DownloadDialog final : public QDialog, private forms::DownloadFormScreen {
  Q_OBJECT

 public:
  // Created hidden, "下载中...", bar at 0, "已下载0%".
  // Laid out as the owner's layout says; 100 % without one.
  DownloadDialog(QWidget* owner, const Artwork& art,
                 const forms::WindowLayout& layout = forms::LayoutAt(forms::Scale()));
  ~DownloadDialog() override;

  // TDownloadForm.Download, in this window.
  DownloadResult Download(const download::DownloadRequest& request, download::DownloadedFile& file);

  forms::TDownloadForm& Form() { return form_; }
  QString Title() const { return Label5_->text(); }
  QString ProgressText() const { return Label4_->text(); }
  QString SpeedText() const { return speed_->text(); }
  const QProgressBar& ProgressBar() const { return *ProgressBar1_; }

 signals:
  // After the dialog has shown a change of what it shows.
  void painted();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Paint(const forms::DownloadView& view) override;
  int ShowModal() override;
  void EndModal(int result) override;

  PressPicture* Image7_;
  QLabel* Label5_;
  QLabel* Label4_;
  QProgressBar* ProgressBar1_;
  QLabel* speed_;
  QtDispatcher dispatcher_;
  QtTimers timers_;
  forms::TDownloadForm form_;
};

}  // namespace tandrel::ui
