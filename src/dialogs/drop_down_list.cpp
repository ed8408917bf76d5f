// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/drop_down_list.h"

#include <QAbstractItemView>
#include <algorithm>

namespace corvane::dialogs {

DropDownList::DropDownList(int listHeight, QWidget* parent)
    : QComboBox(parent), listHeight_(listHeight) {}

void DropDownList::showPopup() {
  // Whole rows only, as the classic list box shows them.
  const int rowHeight = count() > 0 ? view()->sizeHintForRow(0) : 0;
  if (rowHeight > 0) setMaxVisibleItems(std::max(1, listHeight_ / rowHeight));
  QComboBox::showPopup();
}

}  // namespace corvane::dialogs
