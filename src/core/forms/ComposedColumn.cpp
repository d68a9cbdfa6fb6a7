#include "ComposedColumn.h"

#include "ServerListLayout.h"

namespace tandrel::forms {

void ComposedColumn::Saw(const ListPaint& paint) {
  if (paint.clear || !paint.rows.empty()) pieces_.clear();
}

std::optional<std::size_t> ComposedColumn::Find(std::size_t frame, const Rect& area) const {
  for (std::size_t place = 0; place < pieces_.size(); ++place) {
    if (pieces_[place].frame == frame && pieces_[place].area == area) return place;
  }
  return std::nullopt;
}

std::optional<std::size_t> ComposedColumn::Keep(std::size_t frame, const Rect& area) {
  if (area.left < badge_.left || area.left + area.width > badge_.left + badge_.width) {
    return std::nullopt;
  }
  if (const auto kept = Find(frame, area)) return kept;
  // More pieces than laps bring round: the areas keep changing, start again.
  if (pieces_.size() == kMostPieces) pieces_.clear();
  pieces_.push_back({frame, area});
  return pieces_.size() - 1;
}

}  // namespace tandrel::forms
