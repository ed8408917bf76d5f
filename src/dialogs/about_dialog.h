// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The About box: icon, version and a line about the program's authors and licence.

#include "dialogs/template_dialog.h"

namespace corvane::dialogs {

class CAboutDlg : public TemplateDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);

  static QString VersionText();  // "Corvane Version 3.8.0.0"
  static QString SecondLine();
};

// The About box's font: the Traditional Chinese "新細明體" 9 pt, or the closest one installed.
QFont AboutFont();

}  // namespace corvane::dialogs
