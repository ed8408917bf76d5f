// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/text_width.h"

#include <gtest/gtest.h>

namespace corvane::cli {
namespace {

// Tables pad by these widths, so a wrong count shows as a column out of line.
TEST(TextWidth, CountsTheColumnsATerminalShows) {
  EXPECT_EQ(TextWidth(""), 0u);
  EXPECT_EQ(TextWidth("Remote name"), 11u);
  // Latin letters of two bytes, and a combining accent on the letter before it.
  EXPECT_EQ(TextWidth("Gr\xC3\xB6\xC3\x9F"
                      "e"),
            5u);
  EXPECT_EQ(TextWidth("e\xCC\x81"), 1u);
  // CJK ideographs, Hangul and full-width letters take two columns each.
  EXPECT_EQ(TextWidth("\xE5\x90\x8D\xE7\xA7\xB0"), 4u);                          // 名称
  EXPECT_EQ(TextWidth("\xEC\x9D\xB4\xEB\xA6\x84:"), 5u);                         // 이름:
  EXPECT_EQ(TextWidth("\xEF\xBC\xA1\xEF\xBC\xA2"), 4u);                          // ＡＢ
  EXPECT_EQ(TextWidth("\xE3\x83\x89\xE3\x83\xA9\xE3\x82\xA4\xE3\x83\x96"), 8u);  // ドライブ
  // Not UTF-8 (Latin-1 or codepage bytes from a device): one column a byte, for the whole text.
  EXPECT_EQ(TextWidth("Caf\xE9"), 4u);
  EXPECT_EQ(TextWidth("\xA4\xA4\xA4\xE5"), 4u);
  EXPECT_EQ(TextWidth("\xC3\xA9\xFF"), 3u);
  EXPECT_EQ(TextWidth("\xE5\x90"), 2u);
  // Padding counts the same columns and never cuts.
  EXPECT_EQ(PadRight("\xE5\x90\x8D", 4), "\xE5\x90\x8D  ");
  EXPECT_EQ(PadLeft("42", 4), "  42");
  EXPECT_EQ(PadRight("too wide", 3), "too wide");
}

}  // namespace
}  // namespace corvane::cli
