// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_test_support.h"

#include <QTest>

#include "dialogs/look.h"

namespace corvane::app::test {

void UseProgramLook() {
  static bool applied = false;
  if (applied) return;
  dialogs::ApplyLook(*qApp);
  applied = true;
}

MessageLog::MessageLog() {
  dialogs::SetMessageHook(
      [this](const dialogs::ShownMessage& message) { shown_.push_back(message); });
}

MessageLog::~MessageLog() {
  dialogs::SetMessageHook({});
}

std::vector<std::string> MessageLog::texts() const {
  std::vector<std::string> result;
  for (const dialogs::ShownMessage& message : shown_) result.push_back(message.text);
  return result;
}

int FindRow(const QTreeWidget* list, int column, const QString& text) {
  for (int row = 0; row < list->topLevelItemCount(); ++row) {
    if (list->topLevelItem(row)->text(column) == text) return row;
  }
  return -1;
}

std::vector<std::string> ColumnTexts(const QTreeWidget* list, int column) {
  std::vector<std::string> texts;
  for (int row = 0; row < list->topLevelItemCount(); ++row) {
    texts.push_back(list->topLevelItem(row)->text(column).toStdString());
  }
  return texts;
}

void ClickRow(QTreeWidget* list, int row, Qt::KeyboardModifiers modifiers) {
  QTreeWidgetItem* item = list->topLevelItem(row);
  list->scrollToItem(item);
  const QPoint center = list->visualItemRect(item).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, center);
}

void ClickEmptyArea(QTreeWidget* list) {
  // With many rows the list has no empty area at its own size; a taller list gets one.
  const int count = list->topLevelItemCount();
  const int below =
      count == 0 ? 0 : list->visualItemRect(list->topLevelItem(count - 1)).bottom() + 1;
  if (below + 20 > list->viewport()->height()) {
    list->resize(list->width(), list->height() + below + 40);
  }
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(10, list->viewport()->height() - 5));
}

}  // namespace corvane::app::test
