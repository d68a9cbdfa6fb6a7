#include "uDownloadForm.h"

#include "AuricProgressBar.h"
#include "LayoutRects.h"
#include "Lifecycle.h"
#include "VisualStyles.h"
#include "WindowPlace.h"

#include "core/forms/FailureReport.h"
#include "platform/windows/WideText.h"

namespace tandrel::win {
namespace {

constexpr COLORREF kEdge = RGB(0x6B, 0x55, 0x2E);

}  // namespace

DownloadDialog::DownloadDialog(HWND owner, const forms::WindowLayout& layout, const Artwork& art,
                               http::Dispatcher& dispatcher)
    : layout_(layout.dialog),
      pressShift_(layout.pressShift),
      owner_(owner),
      labelFont_(look::YaHei(layout_.labelFont)),
      speedFont_(look::YaHei(layout_.speedFont)),
      form_(*this, dispatcher, timers_) {
  Create(L"TandrelDownloadForm", CS_DBLCLKS, 0, WS_POPUP, RECT{0, 0, layout_.window.width, layout_.window.height},
         owner);
  // The dialog does not move: only its close picture takes presses.
  Image7_ =
      std::make_unique<PressPictures>(Handle(), std::vector<PressPictures::Item>{{layout_.Image7, &art.Close()}},
                                      std::vector<forms::Rect>{}, forms::PictureGrab::Elsewhere::Nothing, pressShift_);
}

DownloadDialog::~DownloadDialog() { Destroy(); }

DownloadResult DownloadDialog::Download(const download::DownloadRequest& request, download::DownloadedFile& file) {
  return form_.Download(request, file);
}

void DownloadDialog::Paint(const forms::DownloadView& view) {
  view_ = view;
  InvalidateRect(Handle(), nullptr, FALSE);
  UpdateWindow(Handle());
}

int DownloadDialog::ShowModal() {
  result_ = 0;
  const POINT at = CentredOver(owner_, ToSIZE(layout_.window));
  SetWindowPos(Handle(), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return RunModal(Handle(), owner_, [this] { return result_; });
}

void DownloadDialog::EndModal(int result) { result_ = result; }

void DownloadDialog::PaintWindow() {
  PAINTSTRUCT ps;
  const HDC target = BeginPaint(Handle(), &ps);
  forms::Guarded([&] {
    const int width = layout_.window.width, height = layout_.window.height;
    const HDC dc = buffer_.Prepare(width, height);
    {
      Gdiplus::Graphics graphics(dc);
      // The main style's dark face; a borderless window still wants an edge.
      Gdiplus::SolidBrush face(look::Opaque(ActiveStyle().face));
      graphics.FillRectangle(&face, 0, 0, width, height);
      Gdiplus::Pen edge(look::Opaque(kEdge));
      graphics.DrawRectangle(&edge, 0, 0, width - 1, height - 1);
      Image7_->Paint(graphics);
    }
    look::DrawLabel(dc, platform::Widen(view_.Label5Caption), layout_.Label5.x, layout_.Label5.y, layout_.labelHeight,
                    labelFont_.get(), look::kIntroduction);
    look::DrawLabel(dc, platform::Widen(view_.Label4Caption), layout_.Label4.x, layout_.Label4.y, layout_.labelHeight,
                    labelFont_.get(), look::kServerName);
    const VisualStyle* auric = FindStyle(kProgressStyle);
    PaintProgressBar(dc, layout_, view_.ProgressBar1Position, view_.ProgressBar1Busy, GetTickCount(),
                     auric ? *auric : ActiveStyle());
    const Selection selected(dc, speedFont_.get());
    SetTextColor(dc, look::kHeading);
    SetBkMode(dc, TRANSPARENT);
    const std::wstring speed = platform::Widen(view_.SpeedCaption);
    RECT box = ToRECT(layout_.speed);
    DrawTextW(dc, speed.c_str(), static_cast<int>(speed.size()), &box, DT_RIGHT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    buffer_.CopyTo(target, ps.rcPaint);
  });
  EndPaint(Handle(), &ps);
}

LRESULT DownloadDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const auto click = [this](int) { forms::Guarded([this] { form_.Image7Click(); }); };
  if (Image7_ && Image7_->OnMessage(message, wParam, lParam, click)) return message == WM_SETCURSOR ? TRUE : 0;
  switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: PaintWindow(); return 0;
    // The dialog takes no keys: Escape does not close it (Alt+F4 still asks to close).
    case WM_KEYDOWN:
    case WM_CHAR: return 0;
    case WM_CLOSE: forms::Guarded([this] { form_.CloseRequest(); }); return 0;
    default: break;
  }
  return Window::OnMessage(message, wParam, lParam);
}

}  // namespace tandrel::win
