#include "ListPaintPlan.h"

namespace tandrel::forms {

ListPaintPlan::ListPaintPlan(ServerListModel& list, const Rect& badge) : picture_(list), column_(badge) {}

ListPaintPlan::Paint ListPaintPlan::Prepare(const Rect& bounds, const std::vector<Rect>& pieces, std::size_t frame) {
  Paint paint;
  paint.kept = picture_.Prepare(bounds);
  column_.Saw(paint.kept);
  for (const Rect& area : pieces) {
    if (const auto place = column_.Find(frame, area)) {
      paint.pieces.push_back({area, Step::CopyComposed, *place});
    } else if (const auto keep = column_.Keep(frame, area)) {
      paint.pieces.push_back({area, Step::ComposeAndKeep, *keep});
    } else {
      paint.pieces.push_back({area, Step::Compose, 0});
    }
  }
  return paint;
}

// A cleared kept picture leaves no composed piece true: the next Prepare says so.
void ListPaintPlan::Forget() { picture_.Forget(); }

void ListPaintPlan::SetBadge(const Rect& badge) {
  column_.SetBadge(badge);
  Forget();
}

}  // namespace tandrel::forms
