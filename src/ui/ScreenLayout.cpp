#include "ScreenLayout.h"

#include <QScreen>

#include <cmath>

namespace tandrel::ui {

forms::WindowLayout LayoutOn(const QScreen* screen) {
  if (!screen) return forms::LayoutAt(forms::Scale());
  const double ratio = screen->devicePixelRatio();
  const int qtDpi = static_cast<int>(std::lround(forms::Scale::kBaseDpi * ratio));
  const QRect work = screen->availableGeometry();
  const forms::Size workPixels{static_cast<int>(work.width() * ratio), static_cast<int>(work.height() * ratio)};
  const forms::Scale fitting = forms::FittingScale(forms::Scale(qtDpi), forms::MainWindowLayout{}.window, workPixels);
  return forms::LayoutAt(
      forms::Scale(static_cast<int>(std::lround(fitting.Dpi() * forms::Scale::kBaseDpi / static_cast<double>(qtDpi)))));
}

int ArtworkDensityOn(const QScreen* screen, const forms::WindowLayout& layout) {
  return forms::ArtworkDensity((screen ? screen->devicePixelRatio() : 1.0) * layout.scale.Factor());
}

}  // namespace tandrel::ui
