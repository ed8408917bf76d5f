// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QTranslator>
#include <string>

#include "protocol/session.h"

namespace corvane::app {

// The program: network layer up, look applied, the main window run modally.
class CMainApp {
 public:
  explicit CMainApp(QApplication& application);

  // Runs the whole program; false, as nothing is left to run afterwards.
  bool InitInstance();
  int ExitCode() const { return exitCode_; }

 private:
  QApplication& application_;
  // Installed for as long as the program runs; nothing is loaded in English.
  QTranslator qtTranslations_;
  int exitCode_ = 0;
};

// Qt's own texts (standard buttons, the context menus of edits) in the language of Corvane's
// catalogue, from `translator`, which must outlive the application's windows.
void InstallQtTranslations(QTranslator& translator);

// The text the user sees when some interface cannot carry the protocol; empty when all can.
std::string DescribeTransportProblems(const protocol::Session& session);

}  // namespace corvane::app
