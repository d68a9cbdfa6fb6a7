// Where a window goes when it is centred over another window or on a screen.
#pragma once

namespace tandrel::forms {

// On one axis: the start of a window of the given length centred over an area
// (equal gaps, the odd pixel after it), moved back inside the bounds where it
// overhangs their end, and never before their start. A main window taller than
// its screen therefore starts at the screen's top and runs off below.
int CentredStart(int areaStart, int areaLength, int length, int boundsStart, int boundsLength);

}  // namespace tandrel::forms
