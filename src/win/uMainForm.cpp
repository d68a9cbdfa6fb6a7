#include "uMainForm.h"

#include "DarkMessageBox.h"
#include "WindowPlace.h"
#include "uDownloadForm.h"

#include "core/forms/FailureReport.h"
#include "platform/windows/WideText.h"

namespace tandrel::win {
namespace {

constexpr int kWidth = 980, kHeight = 939;
constexpr RECT kImage1{31, 103, 31 + 115, 103 + 16};
constexpr RECT kImage2{85, 17, 85 + 800, 17 + 70};
constexpr RECT kImage7{956, 8, 956 + 16, 8 + 16};
constexpr RECT kImage8{934, 8, 934 + 16, 8 + 16};
constexpr RECT kControlList1{13, 123, 13 + 952, 123 + 800};
constexpr POINT kLabel2{854, 100}, kLabel1{712, 100};
constexpr int kHeadingHeight = 19;
// SC_MOVE with HTCAPTION: the system's move loop follows the pointer.
constexpr WPARAM kMoveWithPointer = 0xF012;

bool IsDoubleClick(UINT message) {
  return message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK;
}

}  // namespace

MainWindow::MainWindow(forms::MainFormOptions options)
    : headingFont_(look::YaHei(13, true)),
      ControlList1_(
          art_, [this] { return form_.Config(); },
          [this](int row) { forms::Guarded([&] { form_.ControlListButton1Click(row); }); },
          [this](int row) { forms::Guarded([&] { form_.ControlListButton2Click(row); }); }),
      form_(*this, timers_, ControlList1_, std::move(options)) {
  const POINT at = CentredOnPrimary(SIZE{kWidth, kHeight});
  // Its own taskbar button, the system menu and minimising; no frame, no caption bar.
  Create(L"TandrelMainForm", CS_DBLCLKS, WS_EX_APPWINDOW, WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX,
         RECT{at.x, at.y, at.x + kWidth, at.y + kHeight}, nullptr, L"MainForm");
  Image1_ = std::make_unique<PressPicture>(Handle(), kImage1, art_.Refresh());
  Image7_ = std::make_unique<PressPicture>(Handle(), kImage7, art_.Close());
  Image8_ = std::make_unique<PressPicture>(Handle(), kImage8, art_.Minimise());
  ControlList1_.CreateIn(Handle(), kControlList1);
  SetFocus(ControlList1_.Handle());
  forms::Guarded([this] { form_.FormCreate(); });
}

MainWindow::~MainWindow() = default;

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
    const HDC dc = buffer_.Prepare(kWidth, kHeight);
    {
      Gdiplus::Graphics graphics(dc);
      Draw(graphics, art_.Background(), 0, 0);  // Image6, already at the window's size
    }
    look::DrawLabel(dc, L"进入游戏", kLabel2.x, kLabel2.y, kHeadingHeight, headingFont_.get(), look::kHeading);
    look::DrawLabel(dc, L"新区开区时间", kLabel1.x, kLabel1.y, kHeadingHeight, headingFont_.get(), look::kHeading);
    Gdiplus::Graphics graphics(dc);
    Image1_->Paint(graphics);
    if (banner_) {
      // Centred and not scaled: a larger picture is cut at the box's edges.
      graphics.SetClip(
          Gdiplus::Rect(kImage2.left, kImage2.top, kImage2.right - kImage2.left, kImage2.bottom - kImage2.top));
      Draw(graphics, *banner_,
           kImage2.left + (kImage2.right - kImage2.left - static_cast<int>(banner_->GetWidth())) / 2,
           kImage2.top + (kImage2.bottom - kImage2.top - static_cast<int>(banner_->GetHeight())) / 2);
      graphics.ResetClip();
    }
    Image7_->Paint(graphics);
    Image8_->Paint(graphics);
    graphics.Flush(Gdiplus::FlushIntentionSync);
    buffer_.CopyTo(target, ps.rcPaint);
  });
  EndPaint(Handle(), &ps);
}

PressPicture* MainWindow::PictureAt(POINT p) {
  for (PressPicture* picture : {Image7_.get(), Image8_.get(), Image1_.get()}) {
    if (picture->Contains(p)) return picture;
  }
  return nullptr;
}

// A press on a picture with the press effect shifts it; anywhere else (the
// background, the banner) it moves the window with the pointer.
void MainWindow::MouseDown(UINT message, POINT p) {
  PressPicture* picture = grabbed_ ? grabbed_ : PictureAt(p);
  if (!picture) {
    ReleaseCapture();
    SendMessageW(Handle(), WM_SYSCOMMAND, kMoveWithPointer, 0);
    return;
  }
  grabbed_ = picture;
  SetCapture(Handle());
  picture->Press(*PressButtonOf(message), IsDoubleClick(message));
}

// The release belongs to the picture its press was on; a left release inside it
// clicks first, and the picture moves back after the click's handler returned.
void MainWindow::MouseUp(UINT message, WPARAM buttons, POINT p) {
  PressPicture* picture = grabbed_;
  if (!picture) return;
  if ((buttons & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0) {
    grabbed_ = nullptr;
    ReleaseCapture();
  }
  const auto release = picture->Release(*PressButtonOf(message), p);
  if (release.click) {
    forms::Guarded([&] {
      if (picture == Image1_.get()) form_.Image1Click();
      if (picture == Image7_.get()) form_.Image7Click();
      if (picture == Image8_.get()) form_.Image8Click();
    });
  }
  if (release.moveBack && IsWindow(Handle())) picture->MoveBack();
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: PaintWindow(); return 0;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == Handle() && LOWORD(lParam) == HTCLIENT) {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(Handle(), &p);
        SetCursor(LoadCursorW(nullptr, PictureAt(p) ? IDC_HAND : IDC_ARROW));
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: MouseDown(message, PointOf(lParam)); return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: MouseUp(message, wParam, PointOf(lParam)); return 0;
    case WM_CAPTURECHANGED: grabbed_ = nullptr; return 0;
    // The wheel scrolls the list wherever the focus is.
    case WM_MOUSEWHEEL: return SendMessageW(ControlList1_.Handle(), message, wParam, lParam);
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) SetFocus(ControlList1_.Handle());
      return 0;
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
  InvalidateRect(Handle(), &kImage2, FALSE);
  return true;
}

void MainWindow::RepaintListNow() { ControlList1_.RepaintNow(); }

void MainWindow::ClearListSelection() { ControlList1_.ClearSelection(); }

void MainWindow::Minimise() { ShowWindow(Handle(), SW_MINIMIZE); }

void MainWindow::Close() { PostMessageW(Handle(), WM_CLOSE, 0, 0); }

DownloadResult MainWindow::RunDownloadForm(const std::string& sName, const std::string& sUrlEX, std::uint64_t maxBody,
                                           bool digest, http::Response& response) {
  DownloadDialog dialog(Handle(), art_, dispatcher_);
  dialog.Form().SetMaxBody(maxBody);
  dialog.Form().SetDigestBody(digest);
  const DownloadResult result = dialog.Download(sName, sUrlEX, response.body, &response.status);
  response.sha256 = dialog.Form().BodySha256();
  return result;
}

void MainWindow::ShowMessage(forms::MessageIcon icon, forms::MessagePlace place, const std::string& caption,
                             const std::string& text) {
  ShowDarkMessage({place == forms::MessagePlace::OverMainWindow ? Handle() : nullptr,
                   icon == forms::MessageIcon::Error ? MessageIconKind::Error : MessageIconKind::None,
                   platform::Widen(caption), platform::Widen(text)});
}

}  // namespace tandrel::win
