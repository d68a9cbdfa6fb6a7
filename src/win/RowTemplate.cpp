#include "RowTemplate.h"

#include "platform/windows/WideText.h"

namespace tandrel::win {

RowTemplate::RowTemplate(const Artwork& art, const Badge& badge, const forms::RowLayout& layout)
    : art_(art), badge_(badge), measuring_(ScreenCompatibleDc()) {
  SetLayout(layout);
}

void RowTemplate::SetLayout(const forms::RowLayout& layout) {
  layout_ = layout;
  look::Font font = look::YaHei(layout.labelFont);
  // Its own device, which ends with it: the font stays selected until the next.
  SelectObject(measuring_.get(), font.get());
  font_ = std::move(font);
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
  const forms::RowLayout& l = layout_;
  Draw(graphics, art_.RowPlate(row.Image3Width), origin.x + l.Image3.left, origin.y + l.Image3.top);
  // Texts are one line, as wide as they are, drawn over whatever lies beneath.
  graphics.Flush(Gdiplus::FlushIntentionSync);  // the plate lies under the texts
  const auto text = [&](int left, const std::string& s, COLORREF colour) {
    look::DrawLabel(dc, platform::Widen(s), origin.x + left, origin.y + l.labelTop, l.labelHeight, font_.get(), colour);
  };
  text(l.Label4Left, row.Label4Caption, look::kServerName);
  text(l.Label5Left, row.Label5Caption, look::kIntroduction);
  text(l.Label6Left, row.Label6Caption, look::kOpeningTime);
  GdiFlush();

  const forms::Rect& enter = l.ControlListButton1;
  Draw(graphics, art_.EnterGame(enterGame), origin.x + enter.left, origin.y + enter.top);
  // The smaller web-site picture sits centred in its button's box.
  Gdiplus::Bitmap& site = art_.WebSite(webSite);
  const forms::Rect& box = l.ControlListButton2;
  Draw(graphics, site, origin.x + box.left + (box.width - static_cast<int>(site.GetWidth())) / 2,
       origin.y + box.top + (box.height - static_cast<int>(site.GetHeight())) / 2);
}

void RowTemplate::PaintBadge(HDC dc, const forms::Rect& box) const { badge_.Draw(dc, box.left, box.top); }

}  // namespace tandrel::win
