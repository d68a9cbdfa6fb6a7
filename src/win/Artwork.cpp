#include "Artwork.h"

#include "Resources.h"

#include "platform/windows/WideText.h"

#include <stdexcept>

namespace tandrel::win {
namespace {

Picture Load(const wchar_t* name) {
  Picture picture = DecodePicture(ResourceBytes(name));
  if (!picture) throw std::runtime_error("The picture " + platform::Narrow(name) + " in the program cannot be read.");
  return picture;
}

// At 100 % as it is; at any other scale resampled once, here, not at every paint.
Picture LoadAt(const wchar_t* name, forms::Scale scale) {
  Picture picture = Load(name);
  if (scale == forms::Scale()) return picture;
  const forms::Size size =
      scale.Of(forms::Size{static_cast<int>(picture->GetWidth()), static_cast<int>(picture->GetHeight())});
  return Scaled(*picture, size.width, size.height);
}

}  // namespace

Artwork::Artwork(const forms::WindowLayout& layout)
    : background_(Scaled(*Load(L"BACKGROUND"), layout.main.window.width, layout.main.window.height)),
      rowPlate_(Load(L"ROWPLATE")),
      plateHeight_(layout.rows.Image3.height),
      refresh_(LoadAt(L"REFRESH", layout.scale)),
      close_(LoadAt(L"CLOSE", layout.scale)),
      minimise_(LoadAt(L"MINIMISE", layout.scale)),
      enterGame_{LoadAt(L"ENTERGAMENORMAL", layout.scale), LoadAt(L"ENTERGAMEPRESSED", layout.scale),
                 LoadAt(L"ENTERGAMEHOT", layout.scale)},
      webSite_{LoadAt(L"WEBSITENORMAL", layout.scale), LoadAt(L"WEBSITEPRESSED", layout.scale),
               LoadAt(L"WEBSITEHOT", layout.scale)} {}

Gdiplus::Bitmap& Artwork::RowPlate(int width) const {
  Picture& plate = plates_[width];
  if (!plate) plate = Scaled(*rowPlate_, width, plateHeight_);
  return *plate;
}

std::span<const std::uint8_t> Artwork::BadgeFile() { return ResourceBytes(L"BADGE"); }

}  // namespace tandrel::win
