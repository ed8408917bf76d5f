// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/dialog_units.h"

#include <QFontMetrics>
#include <QString>

namespace corvane::dialogs {

namespace {

// value * numerator / denominator rounded to nearest, halves away from zero, as the dialog
// manager maps its units (369 du at 6 px per 4 du is 554 px, not 553).
int MulDivRounded(int value, int numerator, int denominator) {
  const long long product = static_cast<long long>(value) * numerator;
  const long long half = denominator / 2;
  const long long rounded =
      product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
  return static_cast<int>(rounded);
}

int DuToX(const BaseUnits& base, int du) {
  return MulDivRounded(du, base.x, 4);
}
int DuToY(const BaseUnits& base, int du) {
  return MulDivRounded(du, base.y, 8);
}

}  // namespace

QRect DuRect(const BaseUnits& base, int x, int y, int w, int h) {
  return QRect(DuToX(base, x), DuToY(base, y), DuToX(base, w), DuToY(base, h));
}

QSize DuSize(const BaseUnits& base, int w, int h) {
  return QSize(DuToX(base, w), DuToY(base, h));
}

QFont DialogFont() {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(11);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

BaseUnits MeasureBaseUnits(const QFont& font) {
  static const QString kLetters =
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  const QFontMetrics metrics(font);
  const int total = metrics.horizontalAdvance(kLetters);
  // Half of the width of 26 letters, rounded to nearest: the dialog manager's own rounding.
  const int averageWidth = (total / 26 + 1) / 2;
  return BaseUnits{averageWidth, metrics.ascent() + metrics.descent()};
}

}  // namespace corvane::dialogs
