// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The look every window of the program shares: a Fusion-based style that draws the same on
// every platform plugin, and dark-red dialogs and message boxes with white text.

#include <QApplication>
#include <QColor>
#include <QString>

namespace corvane::dialogs {

inline constexpr QColor kDialogBackground{145, 0, 0};
inline constexpr QColor kDialogText{255, 255, 255};

// Installs the style, the class palettes of QDialog and QMessageBox (only Window and
// WindowText change, so edits, lists and buttons keep their usual colours) and the application
// icon as the default window icon.
void ApplyLook(QApplication& app);

// "Corvane": shown by message boxes without a caption of their own.
QString ApplicationTitle();

}  // namespace corvane::dialogs
