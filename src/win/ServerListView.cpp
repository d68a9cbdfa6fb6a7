#include "ServerListView.h"

#include "LayoutRects.h"
#include "Look.h"

#include "core/forms/FailureReport.h"

#include <windowsx.h>

#include <cstddef>
#include <memory>
#include <type_traits>
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

constexpr WPARAM kAnyButton = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;

}  // namespace

ServerListView::ServerListView(const Artwork& art, const forms::WindowLayout& layout, forms::EntrySource entries,
                               std::function<void(int)> enterGameClicked, std::function<void(int)> webSiteClicked)
    : badge_(layout.rows.JvGIFAnimator2.width, layout.rows.JvGIFAnimator2.height),
      template_(art, badge_, layout.rows),
      model_(*this, template_, std::move(entries), layout.rows),
      plan_(model_, layout.rows.JvGIFAnimator2),
      enterGameClicked_(std::move(enterGameClicked)),
      webSiteClicked_(std::move(webSiteClicked)),
      scrollBar_(layout.scrollBar) {}

ServerListView::~ServerListView() { Destroy(); }

void ServerListView::CreateIn(HWND parent, const RECT& place) {
  // No double-click messages: the second press of a double click is a press.
  Create(L"TandrelServerList", 0, 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP, place, parent);
  width_ = place.right - place.left;
  height_ = place.bottom - place.top;
  scrollBar_.Resize({width_, height_});
  model_.Resize(width_, height_);
}

void ServerListView::SetLayout(const forms::WindowLayout& layout, const RECT& place) {
  badge_.Resize(layout.rows.JvGIFAnimator2.width, layout.rows.JvGIFAnimator2.height);
  template_.SetLayout(layout.rows);
  plan_.SetBadge(layout.rows.JvGIFAnimator2);
  scrollBar_.SetLayout(layout.scrollBar);
  width_ = place.right - place.left;
  height_ = place.bottom - place.top;
  scrollBar_.Resize({width_, height_});
  model_.SetLayout(layout.rows);
  model_.Resize(scrollBar_.RowsWidth(), height_);
  MoveWindow(Handle(), place.left, place.top, width_, height_, TRUE);
}

void ServerListView::RepaintNow() {
  forms::Guarded([&] {
    const std::vector<forms::Rect> pieces = plan_.FrameArea(badge_.MoveOn());
    if (pieces.empty()) return;
    const Region area = RectRegion(0, 0, 0, 0);
    for (const forms::Rect& r : pieces) {
      const Region piece = RectRegion(r.left, r.top, r.left + r.width, r.top + r.height);
      CombineRgn(area.get(), area.get(), piece.get(), RGN_OR);
    }
    RECT box;
    GetRgnBox(area.get(), &box);
    // A frame goes straight onto the window, not through WM_PAINT: there each
    // frame would cost a window server such as Wine's several round trips.
    const WindowDc screen(Handle());
    Present(screen.Get(), area.get(), box);
  });
}

void ServerListView::RepaintAfresh() {
  plan_.Forget();
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
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
  if (scrollBar_.SetRange(maximum, pageStep, offset)) model_.Resize(scrollBar_.RowsWidth(), height_);
  const RECT bar = ScrollBarRect();
  InvalidateRect(Handle(), &bar, FALSE);
}

void ServerListView::Click(const forms::RowButton& Sender) {
  if (Sender.Name == forms::RowControl::ControlListButton1) enterGameClicked_(Sender.Tag);
  if (Sender.Name == forms::RowControl::ControlListButton2) webSiteClicked_(Sender.Tag);
}

// Painting: the list without its badges is kept; a paint draws into it the rows
// that no longer show as they are, each bound right before, copies what it
// repaints from it and draws the badges over that.

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
  const Region update = RectRegion(0, 0, 0, 0);
  GetUpdateRgn(Handle(), update.get(), FALSE);
  PAINTSTRUCT ps;
  const HDC target = BeginPaint(Handle(), &ps);
  forms::Guarded([&] { Present(target, update.get(), ps.rcPaint); });
  EndPaint(Handle(), &ps);
}

void ServerListView::Present(HDC target, HRGN area, const RECT& box) {
  if (keptSize_.cx != width_ || keptSize_.cy != height_) {
    kept_.Prepare(width_, height_);
    keptSize_ = {width_, height_};
    plan_.Forget();
  }
  std::vector<forms::Rect> region;
  for (const RECT& piece : RegionRects(area)) region.push_back(FromRECT(piece));
  const forms::ListPaintPlan::Paint paint = plan_.Prepare(FromRECT(box), region, badge_.Frame());
  DrawKept(paint.kept);
  // Kept pieces first: a piece composed below may take the place of one copied here.
  using Step = forms::ListPaintPlan::Step;
  std::vector<forms::ListPaintPlan::Piece> composed;
  for (const auto& piece : paint.pieces) {
    if (piece.step == Step::CopyComposed) composed_.CopyTo(target, piece.place, ToRECT(piece.area));
    else composed.push_back(piece);
  }
  if (composed.empty()) return;
  // Only the area's pieces are composed and copied, piece by piece: a frame
  // repaints little of the badges' column. What is drawn beyond them in the
  // buffer never reaches the screen.
  const HDC dc = buffer_.Prepare(width_, height_);
  for (const auto& piece : composed) kept_.CopyTo(dc, ToRECT(piece.area));
  for (const forms::Rect& badge : paint.kept.badges) template_.PaintBadge(dc, badge);
  const RECT bar = ScrollBarRect();
  if (scrollBar_.Shown() && RectInRegion(area, &bar)) {
    PaintScrollBar(dc, bar, ToRECT(scrollBar_.ThumbBox()), scrollBar_.ThumbCorner(), scrollBar_.State(), ActiveStyle());
  }
  for (const auto& piece : composed) {
    buffer_.CopyTo(target, ToRECT(piece.area));
    if (piece.step == Step::ComposeAndKeep) composed_.Store(piece.place, dc, ToRECT(piece.area));
  }
}

// Each row is drawn whole, clipped to its own place, so no row's picture depends
// on its neighbours'.
void ServerListView::DrawKept(const forms::ListPaint& paint) {
  const HDC dc = kept_.Prepare(width_, height_);
  const Brush ground = SolidBrush(look::kListBackground);
  if (paint.clear) {
    const RECT whole{0, 0, width_, height_};
    FillRect(dc, &whole, ground.get());
  }
  if (!paint.rows.empty()) {
    const Brush highlight = SolidBrush(look::kHighlight);
    // One for every row, drawing into the same pixels as dc, clipped alike.
    const auto pixels = kept_.Pixels();
    Gdiplus::Graphics graphics(pixels.get());
    for (const forms::RowToDraw& row : paint.rows) {
      const RECT rect = ToRECT(row.rect);
      const SavedDcState unclipped(dc);
      IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
      graphics.SetClip(Gdiplus::Rect(rect.left, rect.top, row.rect.width, row.rect.height));
      FillRect(dc, &rect, (row.look.paint.highlighted ? highlight : ground).get());
      GdiFlush();  // the plate lies over it
      template_.Paint(dc, graphics, POINT{rect.left, rect.top}, row.look.bound, row.look.paint.ControlListButton1,
                      row.look.paint.ControlListButton2);
      graphics.Flush(Gdiplus::FlushIntentionSync);
    }
  }
}

// The scroll bar.

RECT ServerListView::ScrollBarRect() const { return ToRECT(scrollBar_.Bar()); }

bool ServerListView::Apply(const forms::ScrollBarModel::Effect& effect) {
  if (effect.repaintBar) {
    const RECT bar = ScrollBarRect();
    InvalidateRect(Handle(), &bar, FALSE);
  }
  if (effect.scrollTo) model_.ScrollTo(*effect.scrollTo);
  return effect.taken;
}

void ServerListView::PointerMove(POINT p) {
  if (!tracking_) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
    tracking_ = TrackMouseEvent(&track) != FALSE;
  }
  if (Apply(scrollBar_.Move(FromPOINT(p)))) return;
  model_.PointerMove(FromPOINT(p));
}

// Input goes to the logic as it comes.

LRESULT ServerListView::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(); return 0;
    case WM_MOUSEMOVE: forms::Guarded([&] { PointerMove(PointOf(lParam)); }); return 0;
    case WM_MOUSELEAVE:
      tracking_ = false;
      Apply(scrollBar_.Leave());
      forms::Guarded([&] { model_.PointerLeave(); });
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      const POINT p = PointOf(lParam);
      if (scrollBar_.OnBar(FromPOINT(p))) {
        if (message == WM_LBUTTONDOWN) forms::Guarded([&] { Apply(scrollBar_.Press(FromPOINT(p))); });
        return 0;
      }
      // Releases outside the list still come here, as they belong to this press.
      SetCapture(Handle());
      forms::Guarded([&] { model_.Press(*ButtonOf(message), FromPOINT(p)); });
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      const POINT p = PointOf(lParam);
      // Given back before the click runs, which may open a modal window.
      if ((wParam & kAnyButton) == 0 && GetCapture() == Handle()) ReleaseCapture();
      if (message != WM_LBUTTONUP || !Apply(scrollBar_.Release(FromPOINT(p)))) {
        forms::Guarded([&] { model_.Release(*ButtonOf(message), FromPOINT(p)); });
      }
      return 0;
    }
    case WM_CAPTURECHANGED: Apply(scrollBar_.MouseLost()); return 0;
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
