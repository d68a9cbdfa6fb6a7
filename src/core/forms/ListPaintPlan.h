// What each paint of the server list does, in front of its two caches: the kept
// picture of the rows without their badges (KeptListPicture) and the badges'
// column as composed for each badge frame (ComposedColumn). A window layer asks
// for the plan of a paint and carries it out in order; it never calls the caches
// itself, so the order of their steps lives here.
#pragma once

#include "ComposedColumn.h"
#include "KeptListPicture.h"

#include <cstddef>
#include <vector>

namespace tandrel::forms {

class ListPaintPlan {
 public:
  ListPaintPlan(ServerListModel& list, const Rect& badge);

  enum class Step {
    CopyComposed,    // copy the piece kept at place
    ComposeAndKeep,  // compose it (kept picture, then badges), show it, keep it at place
    Compose,         // compose it and show it; nothing is kept
  };
  struct Piece {
    Rect area;
    Step step = Step::Compose;
    std::size_t place = 0;
  };
  struct Paint {
    ListPaint kept;  // draw these into the kept picture first (clear it first when told)
    std::vector<Piece> pieces;
  };

  // The plan for a paint of pieces (the paint's region, as rectangles; bounds:
  // their bounding box) at the badge's frame. Counts what it names as done.
  Paint Prepare(const Rect& bounds, const std::vector<Rect>& pieces, std::size_t frame);
  // What a frame of the badge repaints (see KeptListPicture::FrameArea).
  std::vector<Rect> FrameArea(bool badgeMoved) { return picture_.FrameArea(badgeMoved); }
  // The kept picture was lost (resized, another scale): the next paint draws every
  // row afresh and composes every piece again.
  void Forget();
  // Another scale: the badge's place in a row.
  void SetBadge(const Rect& badge);

 private:
  KeptListPicture picture_;
  ComposedColumn column_;
};

}  // namespace tandrel::forms
