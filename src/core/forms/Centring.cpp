#include "Centring.h"

#include <algorithm>

namespace tandrel::forms {

int CentredStart(int areaStart, int areaLength, int length, int boundsStart, int boundsLength) {
  const int centred = areaStart + (areaLength - length) / 2;
  return std::max(boundsStart, std::min(centred, boundsStart + boundsLength - length));
}

}  // namespace tandrel::forms
