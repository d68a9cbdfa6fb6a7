#include "ComposedPieces.h"

namespace tandrel::win {

bool ComposedPieces::CopyTo(HDC target, int frame, const RECT& place) const {
  for (const Piece& piece : pieces_) {
    if (piece.frame == frame && EqualRect(&piece.place, &place)) {
      BitBlt(target, place.left, place.top, place.right - place.left, place.bottom - place.top, piece.picture->Dc(), 0,
             0, SRCCOPY);
      return true;
    }
  }
  return false;
}

void ComposedPieces::Keep(HDC composed, int frame, const RECT& place) {
  if (pieces_.size() >= kMostPieces) Forget();
  auto picture = std::make_unique<Offscreen>();
  const int width = place.right - place.left, height = place.bottom - place.top;
  BitBlt(picture->Prepare(width, height), 0, 0, width, height, composed, place.left, place.top, SRCCOPY);
  pieces_.push_back({frame, place, std::move(picture)});
}

}  // namespace tandrel::win
