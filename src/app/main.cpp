// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include "app/main_app.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  corvane::app::CMainApp program(application);
  program.InitInstance();
  return program.ExitCode();
}
