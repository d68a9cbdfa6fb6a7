#include "Artwork.h"

#include "Resources.h"

#include "platform/windows/WideText.h"

#include <stdexcept>

namespace tandrel::win {
namespace {

constexpr int kWindowWidth = 980, kWindowHeight = 939;

Picture Load(const wchar_t* name) {
  Picture picture = DecodePicture(ResourceBytes(name));
  if (!picture) throw std::runtime_error("The picture " + platform::Narrow(name) + " in the program cannot be read.");
  return picture;
}

}  // namespace

Artwork::Artwork()
    : background_(Scaled(*Load(L"BACKGROUND"), kWindowWidth, kWindowHeight)),
      rowPlate_(Load(L"ROWPLATE")),
      refresh_(Load(L"REFRESH")),
      close_(Load(L"CLOSE")),
      minimise_(Load(L"MINIMISE")),
      enterGame_{Load(L"ENTERGAMENORMAL"), Load(L"ENTERGAMEPRESSED"), Load(L"ENTERGAMEHOT")},
      webSite_{Load(L"WEBSITENORMAL"), Load(L"WEBSITEPRESSED"), Load(L"WEBSITEHOT")} {}

Gdiplus::Bitmap& Artwork::RowPlate(int width) const {
  Picture& plate = plates_[width];
  if (!plate) plate = Scaled(*rowPlate_, width, static_cast<int>(rowPlate_->GetHeight()));
  return *plate;
}

std::span<const std::uint8_t> Artwork::BadgeFile() { return ResourceBytes(L"BADGE"); }

}  // namespace tandrel::win
