#include "RowTemplate.h"

#include "platform/windows/WideText.h"

namespace tandrel::win {

RowTemplate::RowTemplate(const Artwork& art, const Badge& badge)
    : art_(art), badge_(badge), font_(look::YaHei(15)), measuring_(ScreenCompatibleDc()) {
  // Its own device, which ends with it: the font stays selected for good.
  SelectObject(measuring_.get(), font_.get());
}

RowTemplate::~RowTemplate() = default;

int RowTemplate::TextWidth(const std::string& utf8) const {
  const std::wstring text = platform::Widen(utf8);
  SIZE size{};
  GetTextExtentPoint32W(measuring_.get(), text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

void RowTemplate::Paint(HDC dc, Gdiplus::Graphics& graphics, POINT origin, const forms::BoundRow& row,
                        forms::ButtonLook enterGame, forms::ButtonLook webSite) const {
  using namespace forms::row_layout;
  Draw(graphics, art_.RowPlate(row.Image3Width), origin.x + kImage3.left, origin.y + kImage3.top);
  // Texts are one line, as wide as they are, drawn over whatever lies beneath.
  graphics.Flush(Gdiplus::FlushIntentionSync);  // the plate lies under the texts
  const auto text = [&](int left, const std::string& s, COLORREF colour) {
    look::DrawLabel(dc, platform::Widen(s), origin.x + left, origin.y + kLabelTop, kLabelHeight, font_.get(), colour);
  };
  text(kLabel4Left, row.Label4Caption, look::kServerName);
  text(kLabel5Left, row.Label5Caption, look::kIntroduction);
  text(kLabel6Left, row.Label6Caption, look::kOpeningTime);
  GdiFlush();

  Draw(graphics, art_.EnterGame(enterGame), origin.x + kControlListButton1.left, origin.y + kControlListButton1.top);
  // The smaller web-site picture sits centred in its button's box.
  Gdiplus::Bitmap& site = art_.WebSite(webSite);
  Draw(graphics, site,
       origin.x + kControlListButton2.left + (kControlListButton2.width - static_cast<int>(site.GetWidth())) / 2,
       origin.y + kControlListButton2.top + (kControlListButton2.height - static_cast<int>(site.GetHeight())) / 2);
}

void RowTemplate::PaintBadge(HDC dc, const forms::Rect& box) const { badge_.Draw(dc, box.left, box.top); }

}  // namespace tandrel::win
