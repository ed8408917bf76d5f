// SPDX-License-Identifier: GPL-3.0-or-later
// corvane-gui's start, watched: once the first search has filled the device list, prints the
// CLOCK_MONOTONIC times at which the main window began its first paint and at which the list was
// seen filled, and the resident memory then. bench/startup_bench.py launches it and takes the
// differences.
#include <QApplication>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

#include "app/main_app.h"
#include "app/main_dlg.h"
#include "platform/translation.h"

namespace {

long long MonotonicNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

class StartWatch : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!painted_ && event->type() == QEvent::Paint) {
      auto* widget = qobject_cast<QWidget*>(watched);
      if (widget != nullptr && qobject_cast<corvane::app::CMainDlg*>(widget->window()) != nullptr) {
        painted_ = true;
        paintedNs_ = MonotonicNs();
        window_ = widget->window();
        connect(&poll_, &QTimer::timeout, this, [this] { CheckListed(); });
        poll_.start(10);
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  void CheckListed() {
    const auto* list = window_->findChild<QTreeWidget*>(QStringLiteral("id1000"));
    if (list == nullptr || list->topLevelItemCount() == 0) return;
    std::printf("painted %lld\nlisted %lld %ld\n", paintedNs_, MonotonicNs(), ResidentKb());
    std::fflush(stdout);
    // The measurement is over; nothing of the window needs an orderly end.
    std::_Exit(0);
  }

  bool painted_ = false;
  long long paintedNs_ = 0;
  QWidget* window_ = nullptr;
  QTimer poll_;
};

}  // namespace

int main(int argc, char* argv[]) {
  corvane::platform::StartTranslation(CORVANE_BUILD_CATALOGUES);
  QGuiApplication::setDesktopFileName(QStringLiteral(CORVANE_APP_ID));
  QApplication application(argc, argv);
  StartWatch watch;
  application.installEventFilter(&watch);
  corvane::app::CMainApp program(application);
  program.InitInstance();
  return 1;  // the window ended before its list was filled
}
