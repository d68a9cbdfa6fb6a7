#include "VisualStyles.h"

#include "DarkMessageBox.h"

#include "core/forms/FailureReport.h"
#include "platform/windows/WideText.h"

#include <array>
#include <string>

namespace tandrel::win {
namespace {

constexpr std::array<VisualStyle, 2> kStyles = {{
    {kMainStyle, RGB(0x2B, 0x2C, 0x2E), RGB(0xE6, 0xE6, 0xE6), RGB(0x1E, 0x1F, 0x21), RGB(0x23, 0x24, 0x27),
     RGB(0x3A, 0x3B, 0x3E), RGB(0x4A, 0x4D, 0x52), RGB(0x2F, 0x8C, 0xE6), RGB(0x8C, 0xC4, 0xF5), RGB(0x1F, 0x6F, 0xBF)},
    {kProgressStyle, RGB(0x2B, 0x2C, 0x2E), RGB(0xE6, 0xE6, 0xE6), RGB(0x1E, 0x1F, 0x21), RGB(0x23, 0x24, 0x27),
     RGB(0x3A, 0x3B, 0x3E), RGB(0x5A, 0x4A, 0x2A), RGB(0xE9, 0xB4, 0x47), RGB(0xFF, 0xE0, 0x8A), RGB(0xA8, 0x70, 0x1C)},
}};

// The system's light look, for as long as no style is applied.
constexpr VisualStyle kSystemLook = {"Windows",
                                     RGB(0xF0, 0xF0, 0xF0),
                                     RGB(0x00, 0x00, 0x00),
                                     RGB(0xE6, 0xE6, 0xE6),
                                     RGB(0xE9, 0xE9, 0xE9),
                                     RGB(0xE1, 0xE1, 0xE1),
                                     RGB(0xAD, 0xAD, 0xAD),
                                     RGB(0x00, 0x78, 0xD7),
                                     RGB(0x4C, 0xC2, 0x4C),
                                     RGB(0x06, 0xB0, 0x25)};

const VisualStyle* gActive = &kSystemLook;

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

const VisualStyle* FindStyle(std::string_view name) {
  for (const VisualStyle& style : kStyles) {
    if (SameIgnoringCase(style.name, name)) return &style;
  }
  return nullptr;
}

bool ApplyStyle(std::string_view name) {
  const VisualStyle* style = FindStyle(name);
  if (!style) {
    ShowDarkMessage({nullptr, MessageIconKind::Error, platform::Widen(forms::ApplicationTitle()),
                     platform::Widen("Style '" + std::string(name) + "' not found"), L"Close"});
    return false;
  }
  gActive = style;
  return true;
}

const VisualStyle& ActiveStyle() { return *gActive; }

}  // namespace tandrel::win
