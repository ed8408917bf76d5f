// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/dialog_units.h"

#include <gtest/gtest.h>

#include <QFontInfo>

namespace corvane::dialogs {
namespace {

TEST(DialogUnits, MainTemplateBecomesItsPixelSize) {
  EXPECT_EQ(DuSize(kArial8BaseUnits, 369, 354), QSize(554, 531));
}

TEST(DialogUnits, RectConvertsEachCoordinateOnItsOwn) {
  // x*6/4 and y*12/8, halves rounded up as the dialog manager does.
  EXPECT_EQ(DuRect(kArial8BaseUnits, 13, 13, 251, 89), QRect(20, 20, 377, 134));
  EXPECT_EQ(DuRect(kArial8BaseUnits, 7, 1, 354, 106), QRect(11, 2, 531, 159));
  EXPECT_EQ(DuRect(kArial8BaseUnits, -3, 0, 2, 0), QRect(-5, 0, 3, 0));
  EXPECT_EQ(DuRect(BaseUnits{8, 16}, 4, 8, 4, 8), QRect(8, 16, 8, 16));
}

TEST(DialogUnits, DialogFontIsServedByLiberationSans) {
  const QFontInfo info(DialogFont());
  ASSERT_EQ(info.family(), QStringLiteral("Liberation Sans"))
      << "\"Arial\" resolves to " << info.family().toStdString()
      << ": install fonts-liberation (scripts/install-deps.sh), or every dialog changes size";
  EXPECT_EQ(info.pixelSize(), 11);
}

TEST(DialogUnits, MeasuredBaseUnitsMatchThePinnedOnes) {
  const BaseUnits measured = MeasureBaseUnits(DialogFont());
  EXPECT_EQ(measured.x, kArial8BaseUnits.x);
  EXPECT_EQ(measured.y, kArial8BaseUnits.y);
}

}  // namespace
}  // namespace corvane::dialogs
