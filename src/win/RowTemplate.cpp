#include "RowTemplate.h"

#include "platform/windows/WideText.h"

namespace tandrel::win {

RowTemplate::RowTemplate(const Artwork& art, const Badge& badge)
    : art_(art), badge_(badge), font_(look::YaHei(15)), measuring_(CreateCompatibleDC(nullptr)) {
  SelectObject(measuring_, font_.get());
}

RowTemplate::~RowTemplate() { DeleteDC(measuring_); }

int RowTemplate::TextWidth(const std::string& utf8) const {
  const std::wstring text = platform::Widen(utf8);
  SIZE size{};
  GetTextExtentPoint32W(measuring_, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

namespace {

// Whether anything drawn within the box can show through the DC's clipping: what
// cannot is left out, which changes no pixel and spares a frame of the badge the
// texts and buttons it does not touch. Texts get a margin for glyphs that reach
// past their measured width.
bool Touches(const RECT& clip, int left, int top, int width, int height, int margin = 0) {
  return left - margin < clip.right && left + width + margin > clip.left && top - margin < clip.bottom &&
         top + height + margin > clip.top;
}

constexpr int kGlyphMargin = 8;

}  // namespace

void RowTemplate::Paint(HDC dc, Gdiplus::Graphics& graphics, POINT origin, const forms::BoundRow& row,
                        forms::ButtonLook enterGame, forms::ButtonLook webSite) const {
  using namespace forms::row_layout;
  RECT clip{};
  if (GetClipBox(dc, &clip) == NULLREGION) return;
  const auto touches = [&](const forms::Rect& r, int margin = 0) {
    return Touches(clip, origin.x + r.left, origin.y + r.top, r.width, r.height, margin);
  };
  if (touches(forms::Rect{kImage3.left, kImage3.top, row.Image3Width, kImage3.height})) {
    DrawWithin(graphics, art_.RowPlate(row.Image3Width), origin.x + kImage3.left, origin.y + kImage3.top, clip);
  }
  // Texts are one line, as wide as they are, drawn over whatever lies beneath.
  const auto text = [&](int left, const std::string& s, COLORREF colour) {
    if (!Touches(clip, origin.x + left, origin.y + kLabelTop, 1, kLabelHeight, kGlyphMargin) ||
        !Touches(clip, origin.x + left, origin.y + kLabelTop, TextWidth(s), kLabelHeight, kGlyphMargin)) {
      return;
    }
    graphics.Flush(Gdiplus::FlushIntentionSync);  // the plate lies under the text
    look::DrawLabel(dc, platform::Widen(s), origin.x + left, origin.y + kLabelTop, kLabelHeight, font_.get(), colour);
    GdiFlush();
  };
  text(kLabel4Left, row.Label4Caption, look::kServerName);
  text(kLabel5Left, row.Label5Caption, look::kIntroduction);
  text(kLabel6Left, row.Label6Caption, look::kOpeningTime);

  Gdiplus::Bitmap* frame = badge_.CurrentFrame();
  if (frame && touches(kJvGIFAnimator2)) {
    Draw(graphics, *frame, origin.x + kJvGIFAnimator2.left, origin.y + kJvGIFAnimator2.top);
  }
  Gdiplus::Bitmap& enter = art_.EnterGame(enterGame);
  if (touches(forms::Rect{kControlListButton1.left, kControlListButton1.top, static_cast<int>(enter.GetWidth()),
                          static_cast<int>(enter.GetHeight())})) {
    Draw(graphics, enter, origin.x + kControlListButton1.left, origin.y + kControlListButton1.top);
  }
  // The smaller web-site picture sits centred in its button's box.
  if (touches(kControlListButton2)) {
    Gdiplus::Bitmap& site = art_.WebSite(webSite);
    Draw(graphics, site,
         origin.x + kControlListButton2.left + (kControlListButton2.width - static_cast<int>(site.GetWidth())) / 2,
         origin.y + kControlListButton2.top + (kControlListButton2.height - static_cast<int>(site.GetHeight())) / 2);
  }
}

}  // namespace tandrel::win
