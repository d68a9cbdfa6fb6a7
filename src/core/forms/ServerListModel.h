// The server list's behaviour without a toolkit: row count, selected, hot,
// pressed and held rows, scrolling, keys, clicks, and what to paint where. A
// window layer forwards its input here, in pixels of the list's client area, and
// paints what PaintOrder and the bound template say.
#pragma once

#include "ServerListScreen.h"
#include "ServerListTemplate.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace tandrel::forms {

enum class PointerButton { Left, Right, Middle };
enum class ListKey { Up, Down, Left, Right, PageUp, PageDown, Home, End };
// The looks of a row button, in the order of its image list.
enum class ButtonLook { Normal = 0, Pressed = 1, Hot = 2 };

// One row of a whole-list paint.
struct RowPaint {
  int row = 0;
  int top = 0;  // in the client area
  bool highlighted = false;
  ButtonLook ControlListButton1 = ButtonLook::Normal;
  ButtonLook ControlListButton2 = ButtonLook::Normal;

  bool operator==(const RowPaint&) const = default;
};

class ServerListModel {
 public:
  ServerListModel(ServerListScreen& screen, const TextMeasure& measure, EntrySource entries, RowLayout rows = {});
  // Another scale: the rows' places and the scroll range follow; the offset keeps
  // the same first row in view.
  void SetLayout(const RowLayout& rows);

  // State.
  std::size_t ItemCount() const { return itemCount_; }
  int SelectedRow() const { return selected_; }  // -1: none
  int HotRow() const { return hot_; }            // -1: none
  int PressedRow() const { return pressed_; }    // -1: none
  RowControl HeldButton() const { return held_; }
  int ScrollOffset() const { return offset_; }
  int ScrollMaximum() const;
  int RowHeight() const { return template_.Layout().rowHeight; }
  int RowTop(int row) const { return row * RowHeight() - offset_; }
  Rect RowRect(int row) const { return {0, RowTop(row), width_, RowHeight()}; }
  const RowLayout& Rows() const { return template_.Layout(); }
  // Where the rows lie: the client area without the scroll bar.
  Rect ClientRect() const { return {0, 0, width_, height_}; }
  ServerListTemplate& Template() { return template_; }
  const ServerListTemplate& Template() const { return template_; }

  // Setting the count the list already has changes nothing: the rows keep their places.
  void SetItemCount(std::size_t count);
  void ClearSelection();
  // The client area's size, with the scroll bar (when shown) left out.
  void Resize(int width, int height);
  void ScrollTo(int offset);

  // Input.
  void PointerMove(Point p);
  void PointerLeave();
  // A press; the second press of a double click is one too.
  void Press(PointerButton button, Point p);
  void Release(PointerButton button, Point p);
  // One row per wheel message, whatever its distance; false when there is no distance.
  bool Wheel(int delta);
  void Key(ListKey key);

  // The rows of a whole-list paint in the order to paint them. The window binds
  // each (Template().ControlList1BeforeDrawItem) right before painting it.
  std::vector<RowPaint> PaintOrder() const;
  RowPaint PaintOf(int row) const;

 private:
  int RowAt(Point p) const;
  RowControl ControlAt(int row, Point p);
  void UpdateScrollRange();
  void ScrollIntoView(int row);
  void Select(int row);
  void TrackPointer();
  void UpdateRowNow(int row);
  ButtonLook LookOf(int row, RowControl button) const;

  ServerListScreen& screen_;
  const TextMeasure& measure_;
  ServerListTemplate template_;
  std::size_t itemCount_ = 0;
  int width_ = 0, height_ = 0;
  int offset_ = 0;
  int selected_ = -1;
  int hot_ = -1;
  int pressed_ = -1;
  RowControl held_ = RowControl::None;   // the row button held down
  RowControl under_ = RowControl::None;  // the row button under the pointer in the hot row
  std::optional<Point> pointer_;         // over the list
};

}  // namespace tandrel::forms
