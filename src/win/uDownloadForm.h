// The download dialog's window: a small borderless modal window that shows what
// forms::TDownloadForm says (title, progress, speed) and forwards the close
// picture's click and any request to close to it. It takes no keys.
#pragma once

#include "Artwork.h"
#include "Look.h"
#include "Offscreen.h"
#include "PressPicture.h"
#include "WinTimers.h"
#include "Window.h"

#include "core/forms/WindowLayout.h"
#include "core/forms/uDownloadForm.h"

namespace tandrel::win {

class DownloadDialog final : public Window, private forms::DownloadFormScreen {
 public:
  // Created hidden, "下载中...", bar at 0, "已下载0%"; owner is disabled while it shows.
  // Laid out at the owner's layout's scale.
  DownloadDialog(HWND owner, const forms::WindowLayout& layout, const Artwork& art, http::Dispatcher& dispatcher);
  ~DownloadDialog() override;

  // TDownloadForm.Download, in this window.
  DownloadResult Download(const download::DownloadRequest& request, download::DownloadedFile& file);
  forms::TDownloadForm& Form() { return form_; }

 private:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void PaintWindow();

  void Paint(const forms::DownloadView& view) override;
  int ShowModal() override;
  void EndModal(int result) override;

  const forms::DownloadDialogLayout layout_;
  const int pressShift_;
  HWND owner_;
  look::Font labelFont_, speedFont_;
  std::unique_ptr<PressPictures> Image7_;
  Offscreen buffer_;
  forms::DownloadView view_;
  int result_ = 0;
  WinTimers timers_;
  forms::TDownloadForm form_;
};

}  // namespace tandrel::win
