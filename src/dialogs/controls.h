// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Controls the dialogs build on, with the behaviour of the classic dialog controls.

#include <QValidator>

class QLabel;
class QLineEdit;
class QString;
class QTreeWidget;
class QWidget;

namespace corvane::dialogs {

// Limits typing to a number of characters, while the program may still put a longer text in
// (a device name shown after a click), which QLineEdit::setMaxLength would cut. As with the
// classic edit control, such a text can be shortened but not made longer again, and a paste
// keeps as much of the pasted text as fits.
class TypingLimit : public QValidator {
 public:
  TypingLimit(QLineEdit* edit, int limit);
  State validate(QString& input, int& cursor) const override;
  // Lets the program put in a text of this length.
  void Allow(qsizetype length) const { allowance_ = length; }

 private:
  int limit_;
  mutable qsizetype allowance_ = 0;
  mutable QString accepted_;
};

// A list in report view: rows without a tree, one selectable row at a time, whole rows
// selected, a selection that stays visible when the list loses the focus.
QTreeWidget* MakeReportList(QWidget* parent);

// Ties a label to the control it names: a screen reader reads the control by the label's text
// (without its closing colon), and the label's mnemonic, if any, focuses the control.
void NameByLabel(QLabel* label, QWidget* control);
QString NameOfLabel(const QString& labelText);  // " Host Name :" -> "Host Name", "I P :" -> "IP"

}  // namespace corvane::dialogs
