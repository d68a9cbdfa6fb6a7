// The badges' column as paints composed it, badges and all, by badge frame. The
// timed frames repaint that column again and again with the same ten frames; while
// the kept picture under it stays, a frame's next turn copies what its last turn
// composed instead of drawing every badge again. The window layer holds the
// pixels in numbered places; this names the place of each piece.
#pragma once

#include "KeptListPicture.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace tandrel::forms {

class ComposedColumn {
 public:
  // badge: the badge's place in a row, whose column this keeps.
  explicit ComposedColumn(Rect badge = RowLayout{}.JvGIFAnimator2) : badge_(badge) {}
  // Another scale: nothing composed before is true.
  void SetBadge(const Rect& badge) {
    badge_ = badge;
    pieces_.clear();
  }

  // What a paint's Prepare named: a cleared picture, or any row drawn anew into
  // it, leaves no composed piece true.
  void Saw(const ListPaint& paint);
  // The place of the piece composed for frame at area, if one is kept.
  std::optional<std::size_t> Find(std::size_t frame, const Rect& area) const;
  // Where to keep the piece just composed for frame at area; nothing for an area
  // beyond the badges' column, which no frame repaints on its own.
  std::optional<std::size_t> Keep(std::size_t frame, const Rect& area);
  // Places are numbered from 0 up to this: a few pieces for each frame of a lap.
  static constexpr std::size_t kMostPieces = 48;

 private:
  struct Piece {
    std::size_t frame;
    Rect area;
  };
  Rect badge_;
  std::vector<Piece> pieces_;
};

}  // namespace tandrel::forms
