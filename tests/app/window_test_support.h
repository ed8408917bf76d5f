// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers for driving the main window in tests (offscreen platform).

#include <QApplication>
#include <QTreeWidget>
#include <string>
#include <vector>

#include "dialogs/message_box.h"

namespace corvane::app::test {

// The program's look on the test binary's application (created by its main()).
void UseProgramLook();

// Collects every message the window shows; each is answered with OK at once.
class MessageLog {
 public:
  MessageLog();
  ~MessageLog();
  MessageLog(const MessageLog&) = delete;
  MessageLog& operator=(const MessageLog&) = delete;

  const std::vector<dialogs::ShownMessage>& shown() const { return shown_; }
  std::vector<std::string> texts() const;
  void clear() { shown_.clear(); }

 private:
  std::vector<dialogs::ShownMessage> shown_;
};

int FindRow(const QTreeWidget* list, int column, const QString& text);
std::vector<std::string> ColumnTexts(const QTreeWidget* list, int column);
// A left click as the user makes it: press and release on the list's viewport.
void ClickRow(QTreeWidget* list, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void ClickEmptyArea(QTreeWidget* list);

}  // namespace corvane::app::test
