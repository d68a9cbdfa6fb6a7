// The pixels of the composed badges' column, in the numbered places that
// forms::ComposedColumn gives its pieces.
#pragma once

#include "Offscreen.h"

#include <windows.h>

#include <cstddef>
#include <memory>
#include <vector>

namespace tandrel::win {

class ComposedPlaces {
 public:
  // Keeps the area of composed in the place.
  void Store(std::size_t place, HDC composed, const RECT& area);
  // Copies the place's piece to the area of target.
  void CopyTo(HDC target, std::size_t place, const RECT& area) const;

 private:
  std::vector<std::unique_ptr<Offscreen>> places_;
};

}  // namespace tandrel::win
