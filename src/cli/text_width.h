// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How many columns a text takes on a terminal, so that tables stay aligned whatever the
// language of their headers and whatever the devices call themselves; and the UTF-8 reading
// this rests on, which the terminal and JSON output share.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvane::cli {

struct Utf8Character {
  std::size_t length = 0;  // 0: no valid sequence starts here
  std::uint32_t codePoint = 0;
};

// The UTF-8 sequence starting at `at`; overlong forms, surrogates and code points above
// U+10FFFF are invalid.
Utf8Character DecodeUtf8(std::string_view text, std::size_t at);

bool IsValidUtf8(std::string_view text);

// The columns of a UTF-8 text: two for East Asian wide and full-width characters (CJK), none
// for combining marks and zero-width characters, one for every other. A text that is no UTF-8
// is codepage or Latin-1 bytes from a device: one column a byte.
std::size_t TextWidth(std::string_view text);

// The text with blanks after it (PadRight) or before it (PadLeft) up to `width` columns;
// unchanged when it is that wide already.
std::string PadRight(std::string_view text, std::size_t width);
std::string PadLeft(std::string_view text, std::size_t width);

}  // namespace corvane::cli
