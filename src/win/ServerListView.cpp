#include "ServerListView.h"

#include "Look.h"

#include "core/forms/FailureReport.h"

#include <windowsx.h>

#include <cstddef>
#include <vector>

namespace tandrel::win {
namespace {

std::optional<forms::PointerButton> ButtonOf(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: return forms::PointerButton::Left;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: return forms::PointerButton::Right;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: return forms::PointerButton::Middle;
    default: return std::nullopt;
  }
}

std::optional<forms::ListKey> KeyOf(WPARAM key) {
  switch (key) {
    case VK_UP: return forms::ListKey::Up;
    case VK_DOWN: return forms::ListKey::Down;
    case VK_LEFT: return forms::ListKey::Left;
    case VK_RIGHT: return forms::ListKey::Right;
    case VK_PRIOR: return forms::ListKey::PageUp;
    case VK_NEXT: return forms::ListKey::PageDown;
    case VK_HOME: return forms::ListKey::Home;
    case VK_END: return forms::ListKey::End;
    default: return std::nullopt;
  }
}

forms::Point ToPoint(POINT p) { return {p.x, p.y}; }

constexpr WPARAM kAnyButton = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;

}  // namespace

ServerListView::ServerListView(const Artwork& art, forms::EntrySource entries,
                               std::function<void(int)> enterGameClicked, std::function<void(int)> webSiteClicked)
    : badge_(forms::row_layout::kJvGIFAnimator2.width, forms::row_layout::kJvGIFAnimator2.height),
      template_(art, badge_),
      model_(*this, template_, std::move(entries)),
      enterGameClicked_(std::move(enterGameClicked)),
      webSiteClicked_(std::move(webSiteClicked)) {}

ServerListView::~ServerListView() { Destroy(); }

void ServerListView::CreateIn(HWND parent, const RECT& place) {
  // No double-click messages: the second press of a double click is a press.
  Create(L"TandrelServerList", 0, 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP, place, parent);
  width_ = place.right - place.left;
  height_ = place.bottom - place.top;
  model_.Resize(width_, height_);
}

// Between two frames of the row badge only the badges change: their places are
// painted now, with whatever else already awaits its repaint. Everything else
// that changes what the rows show marks the list for a repaint where it changes.
void ServerListView::RepaintNow() {
  using forms::row_layout::kJvGIFAnimator2;
  const HRGN badges = CreateRectRgn(0, 0, 0, 0);
  for (const forms::RowPaint& row : model_.PaintOrder()) {
    const forms::Rect r = model_.RowRect(row.row);
    const HRGN badge = CreateRectRgn(r.left + kJvGIFAnimator2.left, r.top + kJvGIFAnimator2.top,
                                     r.left + kJvGIFAnimator2.left + kJvGIFAnimator2.width,
                                     r.top + kJvGIFAnimator2.top + kJvGIFAnimator2.height);
    CombineRgn(badges, badges, badge, RGN_OR);
    DeleteObject(badge);
  }
  RedrawWindow(Handle(), nullptr, badges, RDW_INVALIDATE | RDW_UPDATENOW);
  DeleteObject(badges);
}

// The screen the logic drives.

bool ServerListView::TakeFocus() {
  if (GetFocus() == Handle()) return true;
  SetFocus(Handle());
  return GetFocus() == Handle() && IsWindowEnabled(Handle());  // a list that cannot take the focus takes no press
}

void ServerListView::InvalidateList() { InvalidateRect(Handle(), nullptr, FALSE); }

void ServerListView::RepaintRowNow(int row) {
  const forms::Rect r = model_.RowRect(row);
  const RECT area{r.left, r.top, r.left + r.width, r.top + r.height};
  RedrawWindow(Handle(), &area, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

// The bar shows while the rows do not fit, and then narrows them.
void ServerListView::ScrollChanged(int maximum, int pageStep, int offset) {
  const bool wasShown = ScrollBarShown();
  maximum_ = maximum;
  page_ = pageStep;
  offset_ = offset;
  if (wasShown != ScrollBarShown()) model_.Resize(width_ - (ScrollBarShown() ? kScrollBarWidth : 0), height_);
  const RECT bar = ScrollBarRect();
  InvalidateRect(Handle(), &bar, FALSE);
}

void ServerListView::Click(const forms::RowButton& Sender) {
  if (Sender.Name == forms::RowControl::ControlListButton1) enterGameClicked_(Sender.Tag);
  if (Sender.Name == forms::RowControl::ControlListButton2) webSiteClicked_(Sender.Tag);
}

// Painting: every row is bound right before it is drawn. A single-row update
// repaints only its row's rectangle, so only that row is bound and drawn.

namespace {

std::vector<RECT> RegionRects(HRGN region) {
  const DWORD size = GetRegionData(region, 0, nullptr);
  std::vector<std::byte> data(size);
  auto* header = reinterpret_cast<RGNDATA*>(data.data());
  if (size == 0 || GetRegionData(region, size, header) == 0) return {};
  const auto* rects = reinterpret_cast<const RECT*>(header->Buffer);
  return std::vector<RECT>(rects, rects + header->rdh.nCount);
}

}  // namespace

void ServerListView::Paint() {
  // Only what awaits its repaint is painted, in the buffer as on the screen: the
  // rest of the buffer still holds what the screen shows.
  const HRGN update = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(Handle(), update, FALSE);
  PAINTSTRUCT ps;
  const HDC target = BeginPaint(Handle(), &ps);
  forms::Guarded([&] {
    const HDC dc = buffer_.Prepare(width_, height_);
    SelectClipRgn(dc, update);
    PaintRows(dc, update, ps.rcPaint);
    const RECT bar = ScrollBarRect();
    if (ScrollBarShown() && RectVisible(dc, &bar)) {
      PaintScrollBar(dc, ScrollBarRect(), ThumbOf(height_, maximum_, page_, offset_), thumbState_, ActiveStyle());
    }
    SelectClipRgn(dc, nullptr);
    // Piece by piece: the badges' column is mostly rows that did not change.
    for (const RECT& piece : RegionRects(update)) buffer_.CopyTo(target, piece);
  });
  EndPaint(Handle(), &ps);
  DeleteObject(update);
}

void ServerListView::PaintRows(HDC dc, HRGN clip, const RECT& area) {
  const HBRUSH ground = CreateSolidBrush(look::kListBackground);
  FillRect(dc, &area, ground);
  DeleteObject(ground);
  const HBRUSH highlight = CreateSolidBrush(look::kHighlight);
  // One for every row, drawing into the same pixels as dc, clipped alike.
  const auto pixels = buffer_.Pixels();
  Gdiplus::Graphics graphics(pixels.get());
  const Gdiplus::Region region(clip);
  graphics.SetClip(&region);
  for (const forms::RowPaint& row : model_.PaintOrder()) {
    const forms::Rect r = model_.RowRect(row.row);
    const RECT rect{r.left, r.top, r.left + r.width, r.top + r.height};
    RECT common;
    if (!IntersectRect(&common, &rect, &area)) continue;
    const forms::BoundRow& bound = model_.Template().ControlList1BeforeDrawItem(row.row);
    if (row.highlighted) {
      graphics.Flush(Gdiplus::FlushIntentionSync);  // the highlight is GDI's
      FillRect(dc, &rect, highlight);
      GdiFlush();
    }
    template_.Paint(dc, graphics, POINT{rect.left, rect.top}, bound, row.ControlListButton1, row.ControlListButton2);
  }
  graphics.Flush(Gdiplus::FlushIntentionSync);
  DeleteObject(highlight);
}

// The scroll bar.

RECT ServerListView::ScrollBarRect() const { return RECT{width_ - kScrollBarWidth, 0, width_, height_}; }

bool ServerListView::OnScrollBar(POINT p) const {
  const RECT bar = ScrollBarRect();
  return ScrollBarShown() && PtInRect(&bar, p);
}

// The thumb is taken where it is pressed; the track beside it pages.
void ServerListView::PressScrollBar(POINT p) {
  const Thumb thumb = ThumbOf(height_, maximum_, page_, offset_);
  if (p.y >= thumb.top && p.y < thumb.top + thumb.length) {
    thumbGrab_ = p.y - thumb.top;
    SetCapture(Handle());
    SetThumbState(ThumbState::Pressed);
  } else {
    model_.ScrollTo(offset_ + (p.y < thumb.top ? -page_ : page_));
  }
}

void ServerListView::DragThumb(POINT p) { model_.ScrollTo(OffsetOfThumb(height_, maximum_, page_, p.y - *thumbGrab_)); }

void ServerListView::SetThumbState(ThumbState state) {
  if (state == thumbState_) return;
  thumbState_ = state;
  const RECT bar = ScrollBarRect();
  InvalidateRect(Handle(), &bar, FALSE);
}

void ServerListView::PointerMove(POINT p) {
  if (!tracking_) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
    tracking_ = TrackMouseEvent(&track) != FALSE;
  }
  if (thumbGrab_) return DragThumb(p);
  SetThumbState(OnScrollBar(p) ? ThumbState::Hot : ThumbState::Normal);
  model_.PointerMove(ToPoint(p));
}

// Input goes to the logic as it comes.

LRESULT ServerListView::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(); return 0;
    case WM_MOUSEMOVE: forms::Guarded([&] { PointerMove(PointOf(lParam)); }); return 0;
    case WM_MOUSELEAVE:
      tracking_ = false;
      if (!thumbGrab_) SetThumbState(ThumbState::Normal);
      forms::Guarded([&] { model_.PointerLeave(); });
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      const POINT p = PointOf(lParam);
      if (OnScrollBar(p)) {
        if (message == WM_LBUTTONDOWN) forms::Guarded([&] { PressScrollBar(p); });
        return 0;
      }
      // Releases outside the list still come here, as they belong to this press.
      SetCapture(Handle());
      forms::Guarded([&] { model_.Press(*ButtonOf(message), ToPoint(p)); });
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      const POINT p = PointOf(lParam);
      // Given back before the click runs, which may open a modal window.
      if ((wParam & kAnyButton) == 0 && GetCapture() == Handle()) ReleaseCapture();
      if (thumbGrab_ && message == WM_LBUTTONUP) {
        thumbGrab_.reset();
        SetThumbState(OnScrollBar(p) ? ThumbState::Hot : ThumbState::Normal);
      } else {
        forms::Guarded([&] { model_.Release(*ButtonOf(message), ToPoint(p)); });
      }
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (thumbGrab_) {
        thumbGrab_.reset();
        SetThumbState(ThumbState::Normal);
      }
      return 0;
    case WM_MOUSEWHEEL: forms::Guarded([&] { model_.Wheel(GET_WHEEL_DELTA_WPARAM(wParam)); }); return 0;
    case WM_KEYDOWN: {
      const auto key = KeyOf(wParam);
      if (!key) break;
      forms::Guarded([&] { model_.Key(*key); });
      return 0;
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    default: break;
  }
  return Window::OnMessage(message, wParam, lParam);
}

}  // namespace tandrel::win
