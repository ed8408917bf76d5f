// SPDX-License-Identifier: GPL-3.0-or-later
// The window as a native Wayland client (run under scripts/wayland-session.sh, in the lab with
// devices that keep passwords of their own). A Wayland compositor places a window that names
// no parent wherever it likes, so every pop-up must open attached to the window.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <chrono>
#include <string>
#include <vector>

#include "app/language_dialog.h"
#include "lab_window_fixture.h"

namespace corvane::app {
namespace {

using corvane::testing::ModalWatcher;
using corvane::testing::RejectModal;
using namespace std::chrono_literals;

// Every window that shows, by class, and whether it is attached to the main window.
class ShownWindows : public QObject {
 public:
  explicit ShownWindows(const QWidget* main) : main_(main) {
    QApplication::instance()->installEventFilter(this);
  }
  ~ShownWindows() override { QApplication::instance()->removeEventFilter(this); }

  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::Show && widget != nullptr && widget->isWindow() &&
        widget != main_) {
      const QWindow* handle = widget->windowHandle();
      const bool attached = handle != nullptr && handle->transientParent() == main_->windowHandle();
      const bool modal = widget->windowModality() != Qt::NonModal;
      shown.push_back(std::string(widget->metaObject()->className()) +
                      (attached ? "" : " (loose)") +
                      (modal || widget->windowType() == Qt::Popup ? "" : " (modeless)"));
    }
    return QObject::eventFilter(watched, event);
  }

  std::vector<std::string> shown;

 private:
  const QWidget* main_;
};

using WaylandWindowTest = test::MainWindowLabTest;

TEST_F(WaylandWindowTest, EveryPopUpOpensAttachedToTheWindowAndALetterCanBePicked) {
  ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("wayland"));
  ShownWindows windows(window.get());
  ModalWatcher watcher;
  const auto answerOnce = [&](int button) {
    watcher.Expect([](QWidget* modal) { RejectModal(modal); });
    Press(button);
    EXPECT_TRUE(watcher.AllDone());
  };
  answerOnce(id::kAbout);
  answerOnce(id::kModifyNames);  // no device chosen: a message box

  Select("192.168.50.40");
  watcher.Expect([](QWidget* modal) { RejectModal(modal); });  // Login
  watcher.Expect([](QWidget* modal) { RejectModal(modal); });  // its refusal
  Press(id::kModifyLan);
  EXPECT_TRUE(watcher.AllDone());
  auto* shares = Item<QTreeWidget>(id::kShareList);
  ASSERT_GT(shares->topLevelItemCount(), 0);
  shares->topLevelItem(0)->setSelected(true);
  answerOnce(id::kMount);  // Mapping Type

  // The language dialogs, opened as the window opens them, after a check and an installation
  // that succeed at once: Language, Loading, then the restart wait.
  std::atomic<int> result{0};
  LanguageRun run{[] {
                    operations::LanguageCheck check;
                    check.disk = operations::DiskState::kReady;
                    return check;
                  },
                  [](int) { return operations::InstallResult{}; }, [] {}, result,
                  dialogs::RestartTiming{1ms, 5, 200ms}};
  watcher.Expect([](QWidget* modal) { corvane::testing::ClickButton(modal, "OK"); });
  CLanguageDlg language(run, window.get());
  language.DoModal();
  EXPECT_TRUE(watcher.AllDone());

  auto* drive = Item<QComboBox>(id::kDrive);
  QTest::mouseClick(drive, Qt::LeftButton);
  QWidget* list = drive->view()->window();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
  for (int row = 0; row < 3; ++row) QTest::keyClick(drive->view(), Qt::Key_Down);
  QTest::keyClick(drive->view(), Qt::Key_Return);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !list->isVisible(); }));
  EXPECT_EQ(drive->currentText(), QStringLiteral("G:"));

  EXPECT_EQ(windows.shown,
            (std::vector<std::string>{"corvane::dialogs::CAboutDlg", "QMessageBox",
                                      "corvane::dialogs::CLoginDlg", "QMessageBox",
                                      "corvane::dialogs::CMapTypeDlg", "corvane::app::CLanguageDlg",
                                      "corvane::app::CLoadingDlg", "corvane::dialogs::CRestartDlg",
                                      "QComboBoxPrivateContainer"}));

  Press(id::kExit);
  EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace corvane::app
