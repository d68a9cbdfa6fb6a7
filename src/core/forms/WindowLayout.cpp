#include "WindowLayout.h"

#include <algorithm>
#include <cstdint>

namespace tandrel::forms {

int Scale::Of(int length) const {
  const std::int64_t product = static_cast<std::int64_t>(length) * dpi_;
  const std::int64_t half = kBaseDpi / 2;
  return static_cast<int>(product >= 0 ? (product + half) / kBaseDpi : -((-product + half) / kBaseDpi));
}

Rect Scale::Of(const Rect& r) const {
  const int left = Of(r.left), top = Of(r.top);
  return {left, top, Of(r.left + r.width) - left, Of(r.top + r.height) - top};
}

Scale FittingScale(Scale monitor, Size base, Size workArea) {
  for (int dpi = monitor.Dpi(); dpi > Scale::kBaseDpi; --dpi) {
    const Size size = Scale(dpi).Of(base);
    if (size.width <= workArea.width && size.height <= workArea.height) return Scale(dpi);
  }
  return Scale();
}

MessageBoxPlaces PlaceMessageBox(const MessageBoxLayout& l, Size text, bool withIcon) {
  MessageBoxPlaces places;
  const int iconWidth = withIcon ? l.iconSize + l.iconGap : 0;
  const int bodyTop = l.captionHeight + l.padding;
  const int bodyHeight = std::max(withIcon ? l.iconSize : 0, text.height);
  places.window = {std::max(l.minimumWidth, l.padding * 2 + iconWidth + text.width),
                   bodyTop + bodyHeight + l.padding + l.button.height + l.buttonMargin};
  if (withIcon) places.icon = {l.padding, bodyTop, l.iconSize, l.iconSize};
  places.text = {l.padding + iconWidth, bodyTop + (bodyHeight - text.height) / 2, text.width, text.height};
  places.button = {(places.window.width - l.button.width) / 2, places.window.height - l.buttonMargin - l.button.height,
                   l.button.width, l.button.height};
  return places;
}

int ArtworkDensity(double deviceScale) { return deviceScale < 1.5 ? 1 : 2; }

WindowLayout LayoutAt(Scale scale) {
  WindowLayout layout;
  layout.scale = scale;
  const auto s = [scale](auto& value) { value = scale.Of(value); };
  MainWindowLayout& m = layout.main;
  s(m.window);
  for (auto* value : {&m.Image1, &m.Image2, &m.Image7, &m.Image8, &m.ControlList1}) s(*value);
  for (auto* value : {&m.Label1, &m.Label2}) s(*value);
  for (auto* value : {&m.headingHeight, &m.headingFont}) s(*value);
  DownloadDialogLayout& d = layout.dialog;
  s(d.window);
  for (auto* value : {&d.Image7, &d.ProgressBar1, &d.speed}) s(*value);
  for (auto* value : {&d.Label5, &d.Label4}) s(*value);
  for (auto* value :
       {&d.labelHeight, &d.labelFont, &d.speedFont, &d.progressCorner, &d.progressInset, &d.progressChunkCorner}) {
    s(*value);
  }
  MessageBoxLayout& b = layout.message;
  s(b.button);
  for (auto* value : {&b.captionHeight, &b.captionTextLeft, &b.buttonCorner, &b.padding, &b.iconSize, &b.iconGap,
                      &b.buttonMargin, &b.minimumWidth, &b.longestLine, &b.captionFont, &b.textFont}) {
    s(*value);
  }
  ScrollBarLayout& bar = layout.scrollBar;
  for (auto* value : {&bar.width, &bar.minimumThumb, &bar.thumbSideInset, &bar.thumbEndInset, &bar.thumbCorner}) {
    s(*value);
  }
  RowLayout& r = layout.rows;
  for (auto* value : {&r.Image3, &r.JvGIFAnimator2, &r.ControlListButton1, &r.ControlListButton2}) s(*value);
  s(r.webSitePicture);
  for (auto* value : {&r.rowHeight, &r.Image3WidthWithScrollBar, &r.Label4Left, &r.Label5Left, &r.Label6Left,
                      &r.labelTop, &r.labelHeight, &r.labelFont}) {
    s(*value);
  }
  s(layout.pressShift);
  // The list shows exactly a page of rows at every scale, whatever the rounding.
  m.ControlList1.height = kPageRows * r.rowHeight;
  return layout;
}

}  // namespace tandrel::forms
