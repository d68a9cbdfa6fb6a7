// The main window: lays out and paints the pictures, headings and the server
// list, forwards clicks and timer ticks to forms::TMainForm and shows what it
// asks for.
#pragma once

#include "Artwork.h"
#include "Look.h"
#include "Offscreen.h"
#include "PressPicture.h"
#include "ServerListView.h"
#include "WinDispatcher.h"
#include "WinTimers.h"
#include "Window.h"

#include "core/forms/WindowLayout.h"
#include "core/forms/uMainForm.h"

#include <memory>

namespace tandrel::win {

class MainWindow final : public Window, private forms::MainFormScreen {
 public:
  // Runs FormCreate, the start-up sequence, before the window is first shown.
  explicit MainWindow(forms::MainFormOptions options = {});
  ~MainWindow() override;

  void Show();

 private:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void PaintWindow();
  void Click(int picture);

  bool ShowBanner(const http::Bytes& picture) override;
  void RepaintListNow() override;
  void ClearListSelection() override;
  void Minimise() override;
  void Close() override;
  DownloadResult RunDownloadForm(const download::DownloadRequest& request, download::DownloadedFile& file) override;
  void ShowMessage(forms::MessageIcon icon, forms::MessagePlace place, const std::string& caption,
                   const std::string& text) override;

  // Lays everything out at another scale: fonts, artwork, pictures, the list.
  void Relayout(forms::Scale scale);
  void PlacePictures();
  // The headings' boxes, which take a press and do nothing.
  std::vector<forms::Rect> Headings() const;

  forms::WindowLayout layout_;
  Artwork art_;
  WinTimers timers_;
  WinDispatcher dispatcher_;  // the download dialogs' reports
  look::Font headingFont_;
  Picture banner_;
  std::unique_ptr<PressPictures> pictures_;  // Image1 (refresh), Image7 (close), Image8 (minimise)
  Offscreen buffer_;
  ServerListView ControlList1_;
  forms::TMainForm form_;
};

}  // namespace tandrel::win
