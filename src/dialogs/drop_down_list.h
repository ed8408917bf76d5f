// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A drop-down list whose open list is as high as its dialog template says: a template gives a
// combo box the height of the closed box and its open list together. Entries that do not fit
// are reached with the list's scroll bar. The list drops below the box (the program's style
// says so; a menu-like pop-up would show every entry).

#include <QComboBox>

namespace corvane::dialogs {

class DropDownList : public QComboBox {
  Q_OBJECT

 public:
  // listHeight: pixels of the open list below the closed box.
  DropDownList(int listHeight, QWidget* parent);

  void showPopup() override;

 private:
  int listHeight_;
};

}  // namespace corvane::dialogs
