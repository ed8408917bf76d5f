// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
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
  int exitCode_ = 0;
};

// The text the user sees when some interface cannot carry the protocol; empty when all can.
std::string DescribeTransportProblems(const protocol::Session& session);

}  // namespace corvane::app
