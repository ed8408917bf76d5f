// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Letter case as the devices and SMB compare names: the ASCII letters only, whatever the user's
// locale says of other bytes. FoldLetterCase goes further, for names shown translated.

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace corvane::platform {

constexpr char ToAsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return ToAsciiLower(x) == ToAsciiLower(y); });
}

// The text with the capitals of the alphabets Corvane's languages are written in (ASCII, the
// Latin-1 letters À-Þ, Cyrillic А-Я and Ѐ-Џ) made small, for comparing what a user typed with a
// name shown in their language. Every other byte, valid UTF-8 or not, stays as it is.
inline std::string FoldLetterCase(std::string_view text) {
  std::string folded;
  folded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    // Two-byte sequences: C3 80-9E is U+00C0-U+00DE, D0 80-AF is U+0400-U+042F.
    if (byte == 0xC3 && next >= 0x80 && next <= 0x9E && next != 0x97) {  // not ×
      folded += static_cast<char>(byte);
      folded += static_cast<char>(next + 0x20);
      ++i;
    } else if (byte == 0xD0 && next >= 0x80 && next <= 0x8F) {  // Ѐ-Џ to ѐ-џ (D1 90-9F)
      folded += static_cast<char>(0xD1);
      folded += static_cast<char>(next + 0x10);
      ++i;
    } else if (byte == 0xD0 && next >= 0x90 && next <= 0x9F) {  // А-П to а-п (D0 B0-BF)
      folded += static_cast<char>(byte);
      folded += static_cast<char>(next + 0x20);
      ++i;
    } else if (byte == 0xD0 && next >= 0xA0 && next <= 0xAF) {  // Р-Я to р-я (D1 80-8F)
      folded += static_cast<char>(0xD1);
      folded += static_cast<char>(next - 0x20);
      ++i;
    } else {
      folded += ToAsciiLower(text[i]);
    }
  }
  return folded;
}

}  // namespace corvane::platform
