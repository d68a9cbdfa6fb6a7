// The row template as the logic sees it: which entry it is bound to, the plate's
// width, the row buttons' Tag, and which of its controls lies at a point. The
// list holds no controls per row; it binds this template to a row right before
// it draws that row.
#pragma once

#include "ServerListLayout.h"

#include "core/uConfig.h"

#include <functional>
#include <string>

namespace tandrel::forms {

// The current list of entries, or nullptr while there is none.
using EntrySource = std::function<const TConfig*()>;

// A row button. Its Tag holds the index of the row bound last, which is the
// clicked row when its click is delivered.
struct RowButton {
  RowControl Name = RowControl::None;
  int Tag = 0;
};

// What binding puts into the template's controls.
struct BoundRow {
  int Image3Width = RowLayout{}.Image3.width;
  std::string Label4Caption;  // ServerName
  std::string Label5Caption;  // BriefIntroduction
  std::string Label6Caption;  // BeginTime

  bool operator==(const BoundRow&) const = default;
};

class ServerListTemplate {
 public:
  explicit ServerListTemplate(EntrySource entries, RowLayout layout = {});
  void SetLayout(const RowLayout& layout) { layout_ = layout; }
  const RowLayout& Layout() const { return layout_; }

  // Binds the template to row AIndex, reading its entry afresh. Throws
  // std::out_of_range when the list has no entry at AIndex.
  const BoundRow& ControlList1BeforeDrawItem(int AIndex);

  const BoundRow& Bound() const { return bound_; }
  const RowButton& ControlListButton1() const { return button1_; }
  const RowButton& ControlListButton2() const { return button2_; }
  const RowButton& Button(RowControl name) const;

  // The topmost control of the bound row at a point measured from the row's corner.
  RowControl ControlAt(Point inRow, const TextMeasure& measure) const;

 private:
  EntrySource entries_;
  RowLayout layout_;
  BoundRow bound_;
  RowButton button1_{RowControl::ControlListButton1, 0};
  RowButton button2_{RowControl::ControlListButton2, 0};
};

}  // namespace tandrel::forms
