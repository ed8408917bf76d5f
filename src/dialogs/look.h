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
inline constexpr QColor kGreyedText{109, 109, 109};  // text of disabled edits and lists

// Installs the style, the class palettes of QDialog and QMessageBox (only Window and
// WindowText change: the background and the labels) and of the controls inside them that keep
// the standard colours (lists with their headers and scroll bars, edits, drop-down lists), and
// the application icon as the default window icon.
void ApplyLook(QApplication& app);

// "Corvane": shown by message boxes without a caption of their own.
QString ApplicationTitle();

}  // namespace corvane::dialogs
