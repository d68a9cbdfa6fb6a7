#include "TerminalText.h"

#include <cstdint>
#include <cstdio>

namespace tandrel::admin {
namespace {

// The length of the valid UTF-8 sequence at text[at], 0 when there is none, and its code point.
std::size_t Utf8Sequence(std::string_view text, std::size_t at, char32_t& codePoint) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t lead = byte(at);
  std::size_t length;
  char32_t min;
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, min = 0x80, codePoint = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, min = 0x800, codePoint = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, min = 0x10000, codePoint = lead & 0x07;
  } else {
    return 0;
  }
  if (text.size() - at < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    codePoint = (codePoint << 6) | (byte(at + i) & 0x3F);
  }
  if (codePoint < min || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return 0;
  return length;
}

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

std::string Escape(const char* format, unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

std::string EscapeControls(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    char32_t c = 0;
    const std::size_t length = Utf8Sequence(text, at, c);
    if (length == 0) {
      out += Escape("\\x%02x", static_cast<std::uint8_t>(text[at]));
      ++at;
      continue;
    }
    if (c == '\t') out += "\\t";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\\') out += "\\\\";
    else if (c < 0x80 && IsControl(c)) out += Escape("\\x%02x", static_cast<unsigned>(c));
    else if (IsControl(c)) out += Escape("\\u%04x", static_cast<unsigned>(c));
    else out.append(text.substr(at, length));
    at += length;
  }
  return out;
}

std::string EscapeJsonControls(std::string_view json) {
  std::string out;
  out.reserve(json.size());
  for (std::size_t at = 0; at < json.size();) {
    char32_t c = 0;
    std::size_t length = Utf8Sequence(json, at, c);
    if (length == 0) {  // not UTF-8: no writer's output holds it, and no terminal gets it raw
      out += "\\ufffd";
      ++at;
      continue;
    }
    if (c >= 0x7F && c <= 0x9F) out += Escape("\\u%04x", static_cast<unsigned>(c));
    else out.append(json.substr(at, length));
    at += length;
  }
  return out;
}

}  // namespace tandrel::admin
