// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <iostream>
#include <string_view>

#include "app/main_app.h"
#include "platform/translation.h"

namespace {

constexpr std::string_view kHelp =
    // TRANSLATORS: help of the window's program; lines within 80 columns (CJK characters count
    // two); the program name, option names and NAME unchanged; option descriptions aligned.
    N_("Usage: corvane-gui [Qt options]\n"
       "       corvane-gui --help | --version\n"
       "Opens the Corvane window: finds network storage devices on the local network and\n"
       "changes their settings.\n"
       "  -h, --help  show this help and exit\n"
       "  --version   print the version and exit\n"
       "The standard options of Qt applications are understood too, for example\n"
       "-platform NAME.\n");

}  // namespace

int main(int argc, char* argv[]) {
  corvane::platform::StartTranslation(CORVANE_BUILD_CATALOGUES);
  // Answered before the QApplication exists, so that they work without a display.
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--version") {
      std::cout << "corvane-gui " << CORVANE_VERSION << "\n";
      return 0;
    }
    if (arg == "--help" || arg == "-h") {
      std::cout << corvane::platform::Tr(kHelp);
      return 0;
    }
  }
  // Lets desktops match the running window to its desktop entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral(CORVANE_APP_ID));
  QApplication application(argc, argv);
  corvane::app::CMainApp program(application);
  program.InitInstance();
  return program.ExitCode();
}
