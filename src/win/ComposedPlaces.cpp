#include "ComposedPlaces.h"

namespace tandrel::win {

void ComposedPlaces::Store(std::size_t place, HDC composed, const RECT& area) {
  if (place >= places_.size()) places_.resize(place + 1);
  if (!places_[place]) places_[place] = std::make_unique<Offscreen>();
  const int width = area.right - area.left, height = area.bottom - area.top;
  BitBlt(places_[place]->Prepare(width, height), 0, 0, width, height, composed, area.left, area.top, SRCCOPY);
}

void ComposedPlaces::CopyTo(HDC target, std::size_t place, const RECT& area) const {
  BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, places_.at(place)->Dc(), 0, 0,
         SRCCOPY);
}

}  // namespace tandrel::win
