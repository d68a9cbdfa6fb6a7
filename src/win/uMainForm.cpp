#include "uMainForm.h"

#include "DarkMessageBox.h"
#include "LayoutRects.h"
#include "WindowPlace.h"
#include "uDownloadForm.h"

#include "core/forms/FailureReport.h"
#include "platform/windows/WideText.h"

namespace tandrel::win {
namespace {

constexpr const wchar_t* kLabel2Text = L"进入游戏";
constexpr const wchar_t* kLabel1Text = L"新区开区时间";
enum PictureIndex { kRefresh, kClose, kMinimise };  // in the order given to pictures_

}  // namespace

MainWindow::MainWindow(forms::MainFormOptions options)
    : layout_(forms::LayoutAt(ScaleOn(PrimaryMonitorHandle(), forms::MainWindowLayout{}.window))),
      art_(layout_),
      headingFont_(look::YaHei(layout_.main.headingFont, true)),
      ControlList1_(
          art_, layout_, [this] { return form_.Config(); },
          [this](int row) { forms::Guarded([&] { form_.ControlListButton1Click(row); }); },
          [this](int row) { forms::Guarded([&] { form_.ControlListButton2Click(row); }); }),
      form_(*this, timers_, ControlList1_, std::move(options)) {
  const SIZE size = ToSIZE(layout_.main.window);
  const POINT at = CentredOnPrimary(size);
  // Its own taskbar button, the system menu and minimising; no frame, no caption bar.
  Create(L"TandrelMainForm", CS_DBLCLKS, WS_EX_APPWINDOW, WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX,
         RECT{at.x, at.y, at.x + size.cx, at.y + size.cy}, nullptr, L"MainForm");
  PlacePictures();
  ControlList1_.CreateIn(Handle(), ToRECT(layout_.main.ControlList1));
  SetFocus(ControlList1_.Handle());
  forms::Guarded([this] { form_.FormCreate(); });
}

MainWindow::~MainWindow() = default;

void MainWindow::PlacePictures() {
  pictures_ =
      std::make_unique<PressPictures>(Handle(),
                                      std::vector<PressPictures::Item>{{layout_.main.Image1, &art_.Refresh()},
                                                                       {layout_.main.Image7, &art_.Close()},
                                                                       {layout_.main.Image8, &art_.Minimise()}},
                                      Headings(), forms::PictureGrab::Elsewhere::MovesWindow, layout_.pressShift);
}

// Only the background and the banner move the window.
std::vector<forms::Rect> MainWindow::Headings() const {
  std::vector<forms::Rect> headings;
  for (const auto& [place, text] :
       {std::pair{layout_.main.Label2, kLabel2Text}, std::pair{layout_.main.Label1, kLabel1Text}}) {
    const SIZE extent = look::TextSize(headingFont_.get(), text);
    headings.push_back({place.x, place.y, extent.cx, layout_.main.headingHeight});
  }
  return headings;
}

void MainWindow::Relayout(forms::Scale scale) {
  if (scale == layout_.scale) return;
  layout_ = forms::LayoutAt(scale);
  art_ = Artwork(layout_);
  headingFont_ = look::YaHei(layout_.main.headingFont, true);
  PlacePictures();
  ControlList1_.SetLayout(layout_, ToRECT(layout_.main.ControlList1));
  InvalidateRect(Handle(), nullptr, FALSE);
}

void MainWindow::Show() {
  ShowWindow(Handle(), SW_SHOW);
  UpdateWindow(Handle());
  SetForegroundWindow(Handle());
  SetFocus(ControlList1_.Handle());
}

void MainWindow::PaintWindow() {
  PAINTSTRUCT ps;
  const HDC target = BeginPaint(Handle(), &ps);
  forms::Guarded([&] {
    const HDC dc = buffer_.Prepare(layout_.main.window.width, layout_.main.window.height);
    {
      Gdiplus::Graphics graphics(dc);
      Draw(graphics, art_.Background(), 0, 0);  // Image6, already at the window's size
    }
    for (const auto& [place, text] :
         {std::pair{layout_.main.Label2, kLabel2Text}, std::pair{layout_.main.Label1, kLabel1Text}}) {
      look::DrawLabel(dc, text, place.x, place.y, layout_.main.headingHeight, headingFont_.get(), look::kHeading);
    }
    Gdiplus::Graphics graphics(dc);
    if (banner_) {
      // Centred at the layout's scale, not fitted: a larger picture is cut at the box's edges.
      const forms::Rect& box = layout_.main.Image2;
      const forms::Size size =
          layout_.scale.Of(forms::Size{static_cast<int>(banner_->GetWidth()), static_cast<int>(banner_->GetHeight())});
      graphics.SetClip(Gdiplus::Rect(box.left, box.top, box.width, box.height));
      graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
      DrawStretched(graphics, *banner_, box.left + (box.width - size.width) / 2,
                    box.top + (box.height - size.height) / 2, size.width, size.height);
      graphics.ResetClip();
    }
    pictures_->Paint(graphics);
    graphics.Flush(Gdiplus::FlushIntentionSync);
    buffer_.CopyTo(target, ps.rcPaint);
  });
  EndPaint(Handle(), &ps);
}

void MainWindow::Click(int picture) {
  forms::Guarded([&] {
    if (picture == kRefresh) form_.Image1Click();
    if (picture == kClose) form_.Image7Click();
    if (picture == kMinimise) form_.Image8Click();
  });
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (pictures_ && pictures_->OnMessage(message, wParam, lParam, [this](int picture) { Click(picture); })) {
    return message == WM_SETCURSOR ? TRUE : 0;
  }
  switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: PaintWindow(); return 0;
    // The wheel scrolls the list wherever the focus is.
    case WM_MOUSEWHEEL: return SendMessageW(ControlList1_.Handle(), message, wParam, lParam);
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) SetFocus(ControlList1_.Handle());
      return 0;
    case WM_DPICHANGED: {
      // The system names the new monitor's scale and a place; the window takes
      // the place's corner at the size that fits that monitor.
      const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
      forms::Guarded([&] {
        Relayout(ScaleOn(MonitorFromRect(&suggested, MONITOR_DEFAULTTONEAREST), forms::MainWindowLayout{}.window,
                         LOWORD(wParam)));
      });
      SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, layout_.main.window.width,
                   layout_.main.window.height, SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: break;
  }
  return Window::OnMessage(message, wParam, lParam);
}

// What the logic asks of the window.

bool MainWindow::ShowBanner(const http::Bytes& picture) {
  Picture banner = DecodePicture(picture);
  if (!banner) return false;
  banner_ = std::move(banner);
  const RECT box = ToRECT(layout_.main.Image2);
  InvalidateRect(Handle(), &box, FALSE);
  return true;
}

void MainWindow::RepaintListNow() { ControlList1_.RepaintNow(); }

void MainWindow::ClearListSelection() { ControlList1_.ClearSelection(); }

void MainWindow::Minimise() { ShowWindow(Handle(), SW_MINIMIZE); }

void MainWindow::Close() { PostMessageW(Handle(), WM_CLOSE, 0, 0); }

DownloadResult MainWindow::RunDownloadForm(const download::DownloadRequest& request, download::DownloadedFile& file) {
  DownloadDialog dialog(Handle(), layout_, art_, dispatcher_);
  return dialog.Download(request, file);
}

void MainWindow::ShowMessage(forms::MessageIcon icon, forms::MessagePlace place, const std::string& caption,
                             const std::string& text) {
  DarkMessage message{place == forms::MessagePlace::OverMainWindow ? Handle() : nullptr,
                      icon == forms::MessageIcon::Error ? MessageIconKind::Error : MessageIconKind::None,
                      platform::Widen(caption), platform::Widen(text)};
  message.scale = layout_.scale;  // the main window's
  ShowDarkMessage(message);
}

}  // namespace tandrel::win
