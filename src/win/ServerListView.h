// The server list's window: paints the rows the list's logic names, each from the
// row template bound to it, into a kept picture of the list without its badges;
// a paint copies from it and draws the badges over that off-screen, then copies
// the result to the screen. A scroll bar of its own; forwards pointer, wheel,
// key and scroll-bar input to the logic.
#pragma once

#include "Badge.h"
#include "ComposedPlaces.h"
#include "DarkScrollBar.h"
#include "Offscreen.h"
#include "RowTemplate.h"
#include "Window.h"

#include "core/ServerListLoader.h"
#include "core/forms/ListPaintPlan.h"
#include "core/forms/ScrollBarModel.h"
#include "core/forms/ServerListModel.h"

#include <functional>
#include <optional>
#include <vector>

namespace tandrel::win {

class ServerListView final : public Window, public RowCountView, private forms::ServerListScreen {
 public:
  // entries gives the current list (nullptr when there is none); the clicks give
  // the row's index, as the clicked button's Tag holds it.
  ServerListView(const Artwork& art, const forms::WindowLayout& layout, forms::EntrySource entries,
                 std::function<void(int)> enterGameClicked, std::function<void(int)> webSiteClicked);
  ~ServerListView() override;

  // The list's window, a child of parent at place.
  void CreateIn(HWND parent, const RECT& place);
  // Another scale: the rows, the badge and the bar follow, the list moves to
  // place, and every row is drawn afresh.
  void SetLayout(const forms::WindowLayout& layout, const RECT& place);

  // A load may bring other entries in as many rows: the next repaint shows them.
  void SetRowCount(std::size_t count) override {
    model_.SetItemCount(count);
    InvalidateList();
  }
  void ClearSelection() { model_.ClearSelection(); }
  // The row badge's next frame, painted now: the badges, when they moved on,
  // and whatever rows no longer show as they are.
  void RepaintNow();
  // Paints the whole list now, every row drawn afresh.
  void RepaintAfresh();

 private:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Paint();
  // Composes the area (box: its bounds) off-screen and copies it to target.
  void Present(HDC target, HRGN area, const RECT& box);
  void DrawKept(const forms::ListPaint& paint);

  RECT ScrollBarRect() const;
  // What the bar asks after an input; whether the input was the bar's.
  bool Apply(const forms::ScrollBarModel::Effect& effect);
  void PointerMove(POINT p);

  bool TakeFocus() override;
  void InvalidateList() override;
  void RepaintRowNow(int row) override;
  void ScrollChanged(int maximum, int pageStep, int offset) override;
  void Click(const forms::RowButton& Sender) override;

  Badge badge_;
  RowTemplate template_;
  forms::ServerListModel model_;
  forms::ListPaintPlan plan_;
  std::function<void(int)> enterGameClicked_, webSiteClicked_;
  Offscreen kept_;           // the list without its badges
  Offscreen buffer_;         // where a paint composes what it puts on the screen
  ComposedPlaces composed_;  // the badges' column's pieces, at the places plan_ names
  int width_ = 0, height_ = 0;
  SIZE keptSize_{};
  forms::ScrollBarModel scrollBar_;
  bool tracking_ = false;
};

}  // namespace tandrel::win
