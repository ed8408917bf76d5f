// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "platform/ascii_case.h"

namespace corvane::platform {
namespace {

TEST(LetterCase, FoldsTheCapitalsOfTheShippedAlphabetsAndLeavesEverythingElse) {
  EXPECT_EQ(FoldLetterCase("Western European"), "western european");
  EXPECT_EQ(FoldLetterCase("JAPONÉS SJIS"), "japonés sjis");
  EXPECT_EQ(FoldLetterCase("КИРИЛЛИЦА Ёж Ѐ"), "кириллица ёж ѐ");
  EXPECT_EQ(FoldLetterCase("×ß繁體中文"), "×ß繁體中文");
  // Cut or stray bytes stay as they came.
  EXPECT_EQ(FoldLetterCase(std::string("A\xD0", 2)), std::string("a\xD0", 2));
  EXPECT_EQ(FoldLetterCase(std::string("\x90\xC3", 2)), std::string("\x90\xC3", 2));
}

}  // namespace
}  // namespace corvane::platform
