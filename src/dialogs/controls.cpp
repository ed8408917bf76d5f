// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/controls.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTreeWidget>
#include <algorithm>

namespace corvane::dialogs {

TypingLimit::TypingLimit(QLineEdit* edit, int limit) : QValidator(edit), limit_(limit) {}

QValidator::State TypingLimit::validate(QString& input, int& cursor) const {
  const qsizetype room = std::max<qsizetype>(limit_, allowance_);
  if (input.size() > room) {
    // What was just typed or pasted ends at the cursor: its tail goes, never half a character.
    qsizetype start = std::max<qsizetype>(cursor - (input.size() - room), 0);
    if (start > 0 && input.at(start - 1).isHighSurrogate()) --start;
    input.remove(start, cursor - start);
    input.truncate(room);
    cursor = static_cast<int>(start);
    // Nothing of it fits: refused, so that the edit keeps its undo history.
    if (input == accepted_) return Invalid;
  }
  allowance_ = std::min(allowance_, input.size());
  accepted_ = input;
  return Acceptable;
}

QTreeWidget* MakeReportList(QWidget* parent) {
  auto* list = new QTreeWidget(parent);
  list->setRootIsDecorated(false);
  list->setItemsExpandable(false);
  list->setUniformRowHeights(true);
  list->setAllColumnsShowFocus(true);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->header()->setStretchLastSection(false);
  list->header()->setSectionsMovable(false);
  list->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  QPalette palette = list->palette();
  palette.setColor(QPalette::Inactive, QPalette::Highlight,
                   palette.color(QPalette::Active, QPalette::Highlight));
  palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   palette.color(QPalette::Active, QPalette::HighlightedText));
  list->setPalette(palette);
  return list;
}

}  // namespace corvane::dialogs
