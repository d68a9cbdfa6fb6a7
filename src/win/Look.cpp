#include "Look.h"

#include <array>

namespace tandrel::win::look {
namespace {

int CALLBACK FoundFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool Installed(const wchar_t* face) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
  bool found = false;
  const WindowDc screen(nullptr);
  EnumFontFamiliesExW(screen.Get(), &wanted, FoundFace, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

// Without a Chinese face by name, the font mapper may take one without the glyphs.
const wchar_t* Face() {
  static const wchar_t* const face = [] {
    constexpr std::array<const wchar_t*, 6> faces = {
        L"微软雅黑", L"Microsoft YaHei", L"Noto Sans CJK SC", L"WenQuanYi Micro Hei", L"Droid Sans Fallback",
        L"SimSun"};
    for (const wchar_t* candidate : faces) {
      if (Installed(candidate)) return candidate;
    }
    return faces.front();
  }();
  return face;
}

}  // namespace

Gdiplus::Color Opaque(COLORREF colour) {
  return Gdiplus::Color(255, GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

Font YaHei(int pixelSize, bool bold) {
  return Font(CreateFontW(-pixelSize, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                          OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                          Face()));
}

void DrawLabel(HDC dc, std::wstring_view text, int left, int top, int height, HFONT font, COLORREF colour) {
  const Selection selected(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  RECT box{left, top, left + 4000, top + height};
  DrawTextW(dc, text.data(), static_cast<int>(text.size()), &box,
            DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
}

SIZE TextSize(HFONT font, std::wstring_view text) {
  const MemoryDc dc = ScreenCompatibleDc();
  const Selection selected(dc.get(), font);
  SIZE size{};
  GetTextExtentPoint32W(dc.get(), text.data(), static_cast<int>(text.size()), &size);
  if (text.empty()) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    size.cy = metrics.tmHeight;
  }
  return size;
}

}  // namespace tandrel::win::look
