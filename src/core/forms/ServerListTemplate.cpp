#include "ServerListTemplate.h"

#include <stdexcept>
#include <utility>

namespace tandrel::forms {

ServerListTemplate::ServerListTemplate(EntrySource entries, RowLayout layout)
    : entries_(std::move(entries)), layout_(layout) {}

const BoundRow& ServerListTemplate::ControlList1BeforeDrawItem(int AIndex) {
  const TConfig* config = entries_();
  const std::size_t count = config ? config->ServerList().size() : 0;
  // With a scroll bar the rows are narrower, and so is the plate.
  bound_.Image3Width = count <= kPageRows ? layout_.Image3.width : layout_.Image3WidthWithScrollBar;
  button2_.Tag = AIndex;
  button1_.Tag = AIndex;
  if (AIndex < 0 || static_cast<std::size_t>(AIndex) >= count) {
    throw std::out_of_range("Argument out of range: row " + std::to_string(AIndex) + " of " + std::to_string(count));
  }
  const TBoxConfig& entry = config->ServerList()[static_cast<std::size_t>(AIndex)];
  bound_.Label4Caption = entry.ServerName;
  bound_.Label5Caption = entry.BriefIntroduction;
  bound_.Label6Caption = entry.BeginTime;
  return bound_;
}

const RowButton& ServerListTemplate::Button(RowControl name) const {
  if (name == RowControl::ControlListButton1) return button1_;
  if (name == RowControl::ControlListButton2) return button2_;
  throw std::invalid_argument("not a row button");
}

RowControl ServerListTemplate::ControlAt(Point p, const TextMeasure& measure) const {
  const RowLayout& l = layout_;
  // Topmost first: the reverse of the drawing order. A button's whole box counts,
  // also where its picture is smaller.
  if (l.ControlListButton2.Contains(p)) return RowControl::ControlListButton2;
  if (l.ControlListButton1.Contains(p)) return RowControl::ControlListButton1;
  if (l.JvGIFAnimator2.Contains(p)) return RowControl::JvGIFAnimator2;
  // Texts are one line, as wide as they are drawn.
  const auto label = [&](int left, const std::string& caption) {
    return Rect{left, l.labelTop, measure.TextWidth(caption), l.labelHeight}.Contains(p);
  };
  if (label(l.Label6Left, bound_.Label6Caption)) return RowControl::Label6;
  if (label(l.Label5Left, bound_.Label5Caption)) return RowControl::Label5;
  if (label(l.Label4Left, bound_.Label4Caption)) return RowControl::Label4;
  if (Rect{l.Image3.left, l.Image3.top, bound_.Image3Width, l.Image3.height}.Contains(p)) return RowControl::Image3;
  return RowControl::None;
}

}  // namespace tandrel::forms
