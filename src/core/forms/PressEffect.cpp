#include "PressEffect.h"

namespace tandrel::forms {

bool PressEffect::Press(Button button) {
  if (held_ & Bit(button)) return false;
  held_ |= Bit(button);
  return true;
}

bool PressEffect::DoubleClickPress(Button button) {
  if (!Press(button)) return false;
  noClick_ |= Bit(button);
  return true;
}

PressEffect::Release PressEffect::Released(Button button, bool inside) {
  if (!(held_ & Bit(button))) return {};
  held_ &= ~Bit(button);
  const bool clicks = button == Button::Left && inside && !(noClick_ & Bit(button));
  noClick_ &= ~Bit(button);
  return {clicks, true};
}

bool PressEffect::Cancel() {
  const bool held = held_ != 0;
  held_ = noClick_ = 0;
  return held;
}

}  // namespace tandrel::forms
