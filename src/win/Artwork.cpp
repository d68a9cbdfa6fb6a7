#include "Artwork.h"

#include "Resources.h"

#include "platform/windows/WideText.h"

#include <stdexcept>
#include <string>

namespace tandrel::win {
namespace {

Picture Load(const wchar_t* name) {
  Picture picture = DecodePicture(ResourceBytes(name));
  if (!picture) throw std::runtime_error("The picture " + platform::Narrow(name) + " in the program cannot be read.");
  return picture;
}

// Kept as it is where it has the size wanted, otherwise resampled once, here,
// not at every paint.
Picture SizedTo(Picture picture, forms::Size size) {
  if (static_cast<int>(picture->GetWidth()) == size.width && static_cast<int>(picture->GetHeight()) == size.height) {
    return picture;
  }
  return Scaled(*picture, size.width, size.height);
}

// The drawing nearest the scale: the 1x one or the 2x one ("2X" in its name).
Picture LoadNearest(const std::wstring& name, forms::Scale scale) {
  return Load((forms::ArtworkDensity(scale.Factor()) == 2 ? name + L"2X" : name).c_str());
}

// A picture drawn at its size at 100 % (or twice that), at the layout's scale.
Picture LoadAt(const std::wstring& name, forms::Scale scale) {
  const int density = forms::ArtworkDensity(scale.Factor());
  Picture picture = LoadNearest(name, scale);
  const forms::Size drawn{static_cast<int>(picture->GetWidth()) / density,
                          static_cast<int>(picture->GetHeight()) / density};
  return SizedTo(std::move(picture), scale.Of(drawn));
}

}  // namespace

Artwork::Artwork(const forms::WindowLayout& layout)
    : background_(SizedTo(LoadNearest(L"BACKGROUND", layout.scale), layout.main.window)),
      rowPlate_(LoadNearest(L"ROWPLATE", layout.scale)),
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
