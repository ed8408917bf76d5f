// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Dialog templates give positions in dialog units: a quarter of the font's average character
// width horizontally and an eighth of its height vertically. The base units are pinned for the
// templates' font so that the layout does not depend on the fonts a machine happens to have.

#include <QFont>
#include <QRect>
#include <QSize>

namespace corvane::dialogs {

struct BaseUnits {
  int x;  // pixels per 4 horizontal dialog units
  int y;  // pixels per 8 vertical dialog units
};

// Arial (served by the metric-compatible Liberation Sans) 8 pt at 96 dpi.
inline constexpr BaseUnits kArial8BaseUnits{6, 12};

// x*base.x/4 and y*base.y/8 for each coordinate, rounded to nearest (halves away from zero).
QRect DuRect(const BaseUnits& base, int x, int y, int w, int h);
QSize DuSize(const BaseUnits& base, int w, int h);

// "Arial" 8 pt, given as its 96-dpi pixel size (11) so that the screen's dpi cannot change it.
QFont DialogFont();

// Average width of the 52 letters (rounded as the classic dialog manager does) and
// ascent + descent of the font.
BaseUnits MeasureBaseUnits(const QFont& font);

}  // namespace corvane::dialogs
