// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/app_icon.h"

#include <QString>
#include <array>

// Resources compiled into a static library are only registered when something refers to them;
// Q_INIT_RESOURCE must be used outside any namespace.
static void InitDialogResources() {
  Q_INIT_RESOURCE(corvane_dialogs);
}

namespace corvane::dialogs {

QIcon AppIcon() {
  static const bool registered = (InitDialogResources(), true);
  (void)registered;
  static constexpr std::array kSizes{16, 24, 32, 48, 64, 128, 256};
  QIcon icon;
  for (const int size : kSizes) {
    icon.addFile(QStringLiteral(":/corvane/icons/corvane-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

}  // namespace corvane::dialogs
