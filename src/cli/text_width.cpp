// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/text_width.h"

#include <algorithm>
#include <array>

namespace corvane::cli {

namespace {

struct Range {
  std::uint32_t first;
  std::uint32_t last;
};

// East Asian Wide and Fullwidth: Hangul, the CJK ideographs, kana and symbols, Yi, the
// full-width forms, and the pictographs terminals draw as wide.
constexpr std::array<Range, 17> kWide = {{{0x1100, 0x115F},
                                          {0x2E80, 0x303E},
                                          {0x3041, 0x33FF},
                                          {0x3400, 0x4DBF},
                                          {0x4E00, 0x9FFF},
                                          {0xA000, 0xA4CF},
                                          {0xA960, 0xA97F},
                                          {0xAC00, 0xD7A3},
                                          {0xF900, 0xFAFF},
                                          {0xFE10, 0xFE19},
                                          {0xFE30, 0xFE6F},
                                          {0xFF00, 0xFF60},
                                          {0xFFE0, 0xFFE6},
                                          {0x1F300, 0x1F64F},
                                          {0x1F900, 0x1F9FF},
                                          {0x20000, 0x2FFFD},
                                          {0x30000, 0x3FFFD}}};

// Combining marks that sit on the character before them, and the zero-width characters.
constexpr std::array<Range, 9> kZeroWidth = {{{0x0300, 0x036F},
                                              {0x1AB0, 0x1AFF},
                                              {0x1DC0, 0x1DFF},
                                              {0x200B, 0x200F},
                                              {0x2060, 0x2064},
                                              {0x20D0, 0x20FF},
                                              {0xFE00, 0xFE0F},
                                              {0xFE20, 0xFE2F},
                                              {0xFEFF, 0xFEFF}}};

template <std::size_t N>
bool Contains(const std::array<Range, N>& ranges, std::uint32_t codePoint) {
  return std::any_of(ranges.begin(), ranges.end(), [codePoint](const Range& range) {
    return codePoint >= range.first && codePoint <= range.last;
  });
}

std::size_t Columns(std::uint32_t codePoint) {
  if (codePoint < 0x300) return 1;
  if (Contains(kZeroWidth, codePoint)) return 0;
  return Contains(kWide, codePoint) ? 2 : 1;
}

}  // namespace

Utf8Character DecodeUtf8(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return {1, lead};
  std::size_t length = 0;
  std::uint32_t codePoint = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    codePoint = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    codePoint = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    codePoint = lead & 0x07u;
  } else {
    return {};
  }
  if (at + length > text.size()) return {};
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0u) != 0x80u) return {};
    codePoint = codePoint << 6 | (byte(at + i) & 0x3Fu);
  }
  const std::uint32_t smallest = length == 3 ? 0x800u : length == 4 ? 0x10000u : 0x80u;
  if (codePoint < smallest || codePoint > 0x10FFFFu) return {};
  if (codePoint >= 0xD800u && codePoint <= 0xDFFFu) return {};
  return {length, codePoint};
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = DecodeUtf8(text, at).length;
    if (length == 0) return false;
    at += length;
  }
  return true;
}

// One decision for the whole text, as TerminalSafe reads it: either UTF-8 throughout or bytes.
std::size_t TextWidth(std::string_view text) {
  if (!IsValidUtf8(text)) return text.size();
  std::size_t width = 0;
  for (std::size_t at = 0; at < text.size();) {
    const Utf8Character character = DecodeUtf8(text, at);
    width += Columns(character.codePoint);
    at += character.length;
  }
  return width;
}

std::string PadRight(std::string_view text, std::size_t width) {
  const std::size_t used = TextWidth(text);
  return std::string(text) + std::string(width > used ? width - used : 0, ' ');
}

std::string PadLeft(std::string_view text, std::size_t width) {
  const std::size_t used = TextWidth(text);
  return std::string(width > used ? width - used : 0, ' ') + std::string(text);
}

}  // namespace corvane::cli
