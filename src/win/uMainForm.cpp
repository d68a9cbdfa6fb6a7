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
constexpr const wchar_t* kLabel2Text = L"进入游戏";
constexpr const wchar_t* kLabel1Text = L"新区开区时间";
enum PictureIndex { kRefresh, kClose, kMinimise };  // in the order given to pictures_

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
  // The headings take a press and do nothing: only the background and the banner move the window.
  std::vector<RECT> headings;
  for (const auto& [place, text] : {std::pair{kLabel2, kLabel2Text}, std::pair{kLabel1, kLabel1Text}}) {
    const SIZE size = look::TextSize(headingFont_.get(), text);
    headings.push_back(RECT{place.x, place.y, place.x + size.cx, place.y + kHeadingHeight});
  }
  pictures_ = std::make_unique<PressPictures>(
      Handle(),
      std::vector<PressPictures::Item>{
          {kImage1, &art_.Refresh()}, {kImage7, &art_.Close()}, {kImage8, &art_.Minimise()}},
      headings, forms::PictureGrab::Elsewhere::MovesWindow);
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
    look::DrawLabel(dc, kLabel2Text, kLabel2.x, kLabel2.y, kHeadingHeight, headingFont_.get(), look::kHeading);
    look::DrawLabel(dc, kLabel1Text, kLabel1.x, kLabel1.y, kHeadingHeight, headingFont_.get(), look::kHeading);
    Gdiplus::Graphics graphics(dc);
    if (banner_) {
      // Centred and not scaled: a larger picture is cut at the box's edges.
      graphics.SetClip(
          Gdiplus::Rect(kImage2.left, kImage2.top, kImage2.right - kImage2.left, kImage2.bottom - kImage2.top));
      Draw(graphics, *banner_,
           kImage2.left + (kImage2.right - kImage2.left - static_cast<int>(banner_->GetWidth())) / 2,
           kImage2.top + (kImage2.bottom - kImage2.top - static_cast<int>(banner_->GetHeight())) / 2);
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
