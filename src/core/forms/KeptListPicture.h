// The server list's picture without its row badges, kept between paints so that
// a frame of the badge animation draws only the badges. This knows which rows
// the kept picture still shows as they are: a row is drawn there again whenever
// anything it shows differs (its entry, bound afresh at every paint; its place;
// its hot or selected highlight; its buttons' looks), and a change of the list's
// size, scroll offset or row count forgets every row. The window layer owns the
// pixels and draws what Prepare names.
#pragma once

#include "ServerListModel.h"

#include <map>
#include <vector>

namespace tandrel::forms {

// A row as the kept picture shows it.
struct RowLook {
  RowPaint paint;
  BoundRow bound;

  bool operator==(const RowLook&) const = default;
};

struct RowToDraw {
  Rect rect;  // in the client area; the row is drawn clipped to it
  RowLook look;
};

// What a paint of an area needs, in order: clear the kept picture to the list's
// ground, draw these rows into it, copy the area from it, draw the badges.
struct ListPaint {
  bool clear = false;
  std::vector<RowToDraw> rows;
  std::vector<Rect> badges;  // the badge boxes of the rows that touch the area
};

class KeptListPicture {
 public:
  explicit KeptListPicture(ServerListModel& list) : list_(list) {}

  // Binds every row that touches the area afresh and names those the kept
  // picture must show anew; from then on it counts them as drawn.
  ListPaint Prepare(const Rect& area);
  // What a frame of the badge animation repaints: the column of the rows'
  // badges when the badge moved on, and every row that the kept picture no
  // longer shows as it is.
  std::vector<Rect> FrameArea(bool badgeMoved);
  // The next paint draws every row afresh, on a cleared picture.
  void Forget();

 private:
  struct Geometry {
    Rect client;
    int offset = 0;
    std::size_t rows = 0;
    int rowHeight = 0;  // another scale

    bool operator==(const Geometry&) const = default;
  };
  Geometry Current() const;
  RowLook LookOf(const RowPaint& row);

  ServerListModel& list_;
  bool known_ = false;  // whether geometry_ and kept_ describe the picture
  Geometry geometry_;
  std::map<int, RowLook> kept_;
};

}  // namespace tandrel::forms
