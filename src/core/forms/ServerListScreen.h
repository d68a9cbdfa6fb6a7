// What the server list's logic asks of the window that shows it.
#pragma once

#include "ServerListTemplate.h"

namespace tandrel::forms {

class ServerListScreen {
 public:
  virtual ~ServerListScreen() = default;

  // True when the list has the keyboard focus or has just taken it.
  virtual bool TakeFocus() = 0;
  // Marks the whole list for a repaint.
  virtual void InvalidateList() = 0;
  // A single-row update: paints the row at once.
  virtual void RepaintRowNow(int row) = 0;
  // The scroll bar follows: range 0 to maximum, page step, position.
  virtual void ScrollChanged(int maximum, int pageStep, int offset) = 0;
  // Delivers a row button's click; its handler takes the row from Sender.Tag.
  virtual void Click(const RowButton& Sender) = 0;
};

}  // namespace tandrel::forms
