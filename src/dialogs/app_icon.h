// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

namespace corvane::dialogs {

// The application icon (resources/icons/corvane.svg, rendered to PNG sizes 16 to 256).
QIcon AppIcon();

}  // namespace corvane::dialogs
