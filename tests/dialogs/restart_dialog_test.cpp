// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/restart_dialog.h"

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimerEvent>
#include <QWindow>

#include "support/modal_watcher.h"
#include "with_look.h"

namespace corvane::dialogs {
namespace {

using namespace std::chrono_literals;

constexpr int kUntouched = -1;  // what the Language dialog leaves when nothing follows

using RestartDialogTest = WithLook;

// Posts a timer event with an id the dialog never started: any timer ends it.
void SendForeignTimer(QWidget* dialog) {
  QTimerEvent event(12345);
  QCoreApplication::sendEvent(dialog, &event);
}

TEST_F(RestartDialogTest, TemplateHasNoTitleNoCloseBoxAndAHiddenCancel) {
  std::atomic<int> result{kUntouched};
  CRestartDlg dialog(result, nullptr, {1h, 5, 1h});
  testing::ModalWatcher watcher;
  watcher.Expect([](QWidget* modal) {
    EXPECT_TRUE(modal->windowTitle().trimmed().isEmpty()) << modal->windowTitle().toStdString();
    EXPECT_FALSE(modal->windowTitle().isEmpty());  // an empty one shows the program's name
    EXPECT_FALSE(modal->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(modal->windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_EQ(modal->size(), QSize(330, 168));
    auto* cancel = FindControl<QPushButton>(modal, 2);
    ASSERT_NE(cancel, nullptr);
    EXPECT_FALSE(cancel->isVisible());
    EXPECT_NE(modal->findChild<QLabel*>(), nullptr);
    EXPECT_EQ(modal->findChild<QLabel*>()->text(),
              "The system is restarting. Please wait a moment.");
    auto* bar = FindControl<QProgressBar>(modal, CRestartDlg::kIdProgress);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->minimum(), 1);
    EXPECT_EQ(bar->maximum(), 100);
    SendForeignTimer(modal);
  });
  dialog.DoModal();
  EXPECT_TRUE(watcher.AllDone());
}

TEST_F(RestartDialogTest, NormalRunFillsTheBarSetsTheResultAndTheTimerCloses) {
  std::atomic<int> result{kUntouched};
  // The close is left far away here; the test closes once the worker has ended.
  CRestartDlg dialog(result, nullptr, {1ms, 5, 1h});
  testing::ModalWatcher watcher;
  watcher.Expect([&](QWidget* modal) {
    // Enter, Escape and the window manager's close request all do nothing.
    QTest::keyClick(modal, Qt::Key_Return);
    QTest::keyClick(modal, Qt::Key_Escape);
    QCloseEvent close;
    QCoreApplication::sendEvent(modal->windowHandle(), &close);
    EXPECT_TRUE(modal->isVisible());
    // Hang guard only: the worker's five 1 ms steps end long before.
    ASSERT_TRUE(QTest::qWaitFor([&] { return result.load() == 0; }, 10000));
    QCoreApplication::processEvents();  // the queued last step
    EXPECT_EQ(dialog.Progress()->value(), 100);
    SendForeignTimer(modal);
  });
  dialog.DoModal();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(result.load(), 0);
  EXPECT_EQ(dialog.Progress()->value(), 100);
}

TEST_F(RestartDialogTest, ItsOwnTimerClosesIt) {
  std::atomic<int> result{kUntouched};
  CRestartDlg dialog(result, nullptr, {1ms, 2, 50ms});
  testing::ModalWatcher watcher;  // fails the test if the dialog stays open
  dialog.DoModal();
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(RestartDialogTest, EarlyCloseStopsTheWorkerAndLeavesTheResultUntouched) {
  std::atomic<int> result{kUntouched};
  {
    // The worker would need five hours; the timer fires after 10 ms.
    CRestartDlg dialog(result, nullptr, {1h, 5, 10ms});
    dialog.DoModal();
    EXPECT_EQ(result.load(), kUntouched);
    EXPECT_LT(dialog.Progress()->value(), 100);
  }
  // The worker was joined when the dialog ended: nothing can write the result any more.
  QTest::qWait(20);
  EXPECT_EQ(result.load(), kUntouched);
}

TEST_F(RestartDialogTest, DestroyingAShownDialogJoinsItsWorker) {
  std::atomic<int> result{kUntouched};
  {
    CRestartDlg dialog(result, nullptr, {1h, 99, 1h});
    dialog.show();
    QCoreApplication::processEvents();
  }
  EXPECT_EQ(result.load(), kUntouched);
}

}  // namespace
}  // namespace corvane::dialogs
