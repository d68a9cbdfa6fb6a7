#include "DarkMessageBox.h"

#include "LayoutRects.h"
#include "Lifecycle.h"
#include "Look.h"
#include "Offscreen.h"
#include "Rounded.h"
#include "VisualStyles.h"
#include "Window.h"
#include "WindowPlace.h"

#include "core/forms/FailureReport.h"
#include "core/forms/Termination.h"

#include <algorithm>

namespace tandrel::win {
namespace {

class MessageBoxWindow final : public Window {
 public:
  explicit MessageBoxWindow(const DarkMessage& message)
      : layout_(forms::LayoutAt(message.scale).message),
        message_(message),
        captionFont_(look::YaHei(layout_.captionFont, true)),
        textFont_(look::YaHei(layout_.textFont)) {
    Layout();
    // Only a box over the main window is its; the others belong to no window and disable none.
    owner_ = message.over;
    const POINT at = CentredOver(message.over, size_);
    Create(L"TandrelMessageBox", 0, 0, WS_POPUP, RECT{at.x, at.y, at.x + size_.cx, at.y + size_.cy}, owner_,
           message.caption.c_str());
  }
  ~MessageBoxWindow() override { Destroy(); }

  void Run() {
    RunModal(Handle(), owner_, [this] { return closed_ ? 1 : 0; });
  }

 private:
  void Layout() {
    RECT measured{0, 0, layout_.longestLine, 0};
    const MemoryDc dc = ScreenCompatibleDc();
    {
      const Selection selected(dc.get(), textFont_.get());
      DrawTextW(dc.get(), message_.text.c_str(), -1, &measured,
                DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    }
    places_ =
        forms::PlaceMessageBox(layout_, {measured.right, measured.bottom}, message_.icon == MessageIconKind::Error);
    size_ = ToSIZE(places_.window);
    text_ = ToRECT(places_.text);
    button_ = ToRECT(places_.button);
  }

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_ERASEBKGND: return 1;
      case WM_PAINT: Paint(); return 0;
      case WM_NCHITTEST: {
        POINT p = PointOf(lParam);
        ScreenToClient(Handle(), &p);
        return p.y < layout_.captionHeight ? HTCAPTION : HTCLIENT;
      }
      case WM_MOUSEMOVE: {
        if (!tracking_) {
          TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
          tracking_ = TrackMouseEvent(&track) != FALSE;
        }
        SetHot(PtInRect(&button_, PointOf(lParam)) != FALSE);
        return 0;
      }
      case WM_MOUSELEAVE:
        tracking_ = false;
        SetHot(false);
        return 0;
      case WM_LBUTTONDOWN:
        if (PtInRect(&button_, PointOf(lParam))) {
          pressed_ = true;
          SetCapture(Handle());
          InvalidateRect(Handle(), nullptr, FALSE);
        }
        return 0;
      case WM_LBUTTONUP:
        if (pressed_) {
          pressed_ = false;
          ReleaseCapture();
          InvalidateRect(Handle(), nullptr, FALSE);
          if (PtInRect(&button_, PointOf(lParam))) closed_ = true;
        }
        return 0;
      case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_SPACE || wParam == VK_ESCAPE) closed_ = true;
        return 0;
      case WM_CLOSE: closed_ = true; return 0;
      default: return Window::OnMessage(message, wParam, lParam);
    }
  }

  void SetHot(bool hot) {
    if (hot == hot_) return;
    hot_ = hot;
    InvalidateRect(Handle(), &button_, FALSE);
  }

  void Paint() {
    PAINTSTRUCT ps;
    const HDC target = BeginPaint(Handle(), &ps);
    forms::Guarded([&] {
      const VisualStyle& style = ActiveStyle();
      const HDC dc = buffer_.Prepare(size_.cx, size_.cy);
      {
        Gdiplus::Graphics graphics(dc);
        Gdiplus::SolidBrush face(look::Opaque(style.face)), caption(look::Opaque(style.ground));
        graphics.FillRectangle(&face, 0, 0, size_.cx, size_.cy);
        graphics.FillRectangle(&caption, 0, 0, size_.cx, layout_.captionHeight);
        Gdiplus::Pen edge(look::Opaque(style.edge));
        graphics.DrawRectangle(&edge, 0, 0, size_.cx - 1, size_.cy - 1);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        Gdiplus::SolidBrush button(look::Opaque(pressed_ && hot_ ? style.accentDark : style.control));
        const Gdiplus::RectF box(static_cast<float>(button_.left) + 0.5f, static_cast<float>(button_.top) + 0.5f,
                                 static_cast<float>(places_.button.width - 1),
                                 static_cast<float>(places_.button.height - 1));
        FillRounded(graphics, button, box, static_cast<float>(layout_.buttonCorner));
        Gdiplus::Pen frame(look::Opaque(hot_ ? style.accent : style.edge));
        FrameRounded(graphics, frame, box, static_cast<float>(layout_.buttonCorner));
      }
      look::DrawLabel(dc, message_.caption, layout_.captionTextLeft, 0, layout_.captionHeight, captionFont_.get(),
                      style.text);
      if (message_.icon == MessageIconKind::Error) {
        const forms::Rect& icon = places_.icon;
        DrawIconEx(dc, icon.left, icon.top, LoadIconW(nullptr, IDI_ERROR), icon.width, icon.height, 0, nullptr,
                   DI_NORMAL);
      }
      const Selection selected(dc, textFont_.get());
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, style.text);
      RECT text = text_;
      DrawTextW(dc, message_.text.c_str(), -1, &text, DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
      RECT button = button_;
      DrawTextW(dc, message_.button.c_str(), -1, &button, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      buffer_.CopyTo(target, ps.rcPaint);
    });
    EndPaint(Handle(), &ps);
  }

  const forms::MessageBoxLayout layout_;
  const DarkMessage& message_;
  look::Font captionFont_, textFont_;
  HWND owner_ = nullptr;
  forms::MessageBoxPlaces places_;
  SIZE size_{};
  RECT text_{}, button_{};
  Offscreen buffer_;
  bool hot_ = false, pressed_ = false, tracking_ = false, closed_ = false;
};

}  // namespace

void ShowDarkMessage(const DarkMessage& message) {
  if (forms::TerminationRequested()) return;
  MessageBoxWindow box(message);
  box.Run();
}

}  // namespace tandrel::win
