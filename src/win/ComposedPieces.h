// Pieces of the list as a paint composed them for one badge frame: while the
// picture under the badges stays, that frame's next turn copies them to the
// screen instead of blending every badge again.
#pragma once

#include "Offscreen.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace tandrel::win {

class ComposedPieces {
 public:
  // The picture under the pieces changed.
  void Forget() { pieces_.clear(); }
  // Copies the piece kept for frame to the same place of target; false when none is kept.
  bool CopyTo(HDC target, int frame, const RECT& place) const;
  // Keeps the piece at place of composed, as composed for frame.
  void Keep(HDC composed, int frame, const RECT& place);

 private:
  struct Piece {
    int frame;
    RECT place;
    std::unique_ptr<Offscreen> picture;
  };
  // A lap of the badge's frames, with a few pieces each; past that, the pieces
  // are not coming round again.
  static constexpr std::size_t kMostPieces = 48;
  std::vector<Piece> pieces_;
};

}  // namespace tandrel::win
