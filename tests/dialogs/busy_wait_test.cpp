// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/busy_wait.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <atomic>
#include <memory>
#include <thread>

#include "dialogs/message_box.h"
#include "support/modal_watcher.h"
#include "with_look.h"

namespace corvane::dialogs {
namespace {

using namespace std::chrono_literals;

class BusyWaitTest : public WithLook {
 protected:
  void SetUp() override {
    dialog_ = std::make_unique<QDialog>();
    edit_ = new QLineEdit(dialog_.get());
    button_ = new QPushButton(QStringLiteral("Search device"), dialog_.get());
    button_->move(0, 40);
    QObject::connect(button_, &QPushButton::clicked, [this] { ++clicks_; });
    dialog_->show();
    dialog_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
    edit_->setFocus();
  }

  // The window manager's close request: a close event to the platform window, which Qt turns
  // into a spontaneous close event for the widget.
  void RequestCloseFromWindowManager() {
    QCloseEvent close;
    QCoreApplication::sendEvent(dialog_->windowHandle(), &close);
  }

  std::unique_ptr<QDialog> dialog_;
  QLineEdit* edit_ = nullptr;
  QPushButton* button_ = nullptr;
  int clicks_ = 0;
};

TEST_F(BusyWaitTest, InputDuringTheWaitIsDiscardedAndWorksAgainAfterwards) {
  {
    const BusyScope busy;
    QTest::keyClicks(edit_, QStringLiteral("abc"));
    QTest::mouseClick(button_, Qt::LeftButton);
    BusyScope::Pump();
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }
  EXPECT_EQ(edit_->text(), "");
  EXPECT_EQ(clicks_, 0);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  QTest::keyClicks(edit_, QStringLiteral("ok"));
  QTest::mouseClick(button_, Qt::LeftButton);
  EXPECT_EQ(edit_->text(), "ok");
  EXPECT_EQ(clicks_, 1);
}

TEST_F(BusyWaitTest, WindowManagerCloseRequestIsDiscardedButProgramCloseWorks) {
  {
    const BusyScope busy;
    RequestCloseFromWindowManager();
    EXPECT_TRUE(dialog_->isVisible());
    // The program itself may still close windows while busy.
    QDialog other;
    other.show();
    EXPECT_TRUE(other.close());
    EXPECT_FALSE(other.isVisible());
  }
  RequestCloseFromWindowManager();
  EXPECT_FALSE(dialog_->isVisible()) << "the simulated request must really close when not busy";
}

TEST_F(BusyWaitTest, NestedScopesKeepDiscardingUntilTheOutermostEnds) {
  {
    const BusyScope outer;
    { const BusyScope inner; }
    EXPECT_TRUE(BusyScope::IsDiscardingInput());
    QTest::keyClicks(edit_, QStringLiteral("x"));
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }
  EXPECT_FALSE(BusyScope::IsDiscardingInput());
  EXPECT_EQ(edit_->text(), "");
}

TEST_F(BusyWaitTest, NestedDialogsAreCoveredToo) {
  QDialog nested(dialog_.get());
  auto* nestedEdit = new QLineEdit(&nested);
  nested.show();
  const BusyScope busy;
  QTest::keyClicks(nestedEdit, QStringLiteral("typed"));
  QCloseEvent close;
  QCoreApplication::sendEvent(nested.windowHandle(), &close);
  EXPECT_EQ(nestedEdit->text(), "");
  EXPECT_TRUE(nested.isVisible());
}

TEST_F(BusyWaitTest, MessageBoxInsideAWaitCanBeAnswered) {
  testing::ModalWatcher watcher;
  watcher.Expect([](QWidget* modal) {
    EXPECT_FALSE(BusyScope::IsDiscardingInput());
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
    QTest::keyClick(modal, Qt::Key_Return);  // real input reaches the box
  });
  const BusyScope busy;
  ShowError(dialog_.get(), "Copy fail");
  EXPECT_TRUE(watcher.AllDone());
  EXPECT_TRUE(BusyScope::IsDiscardingInput());
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
}

TEST_F(BusyWaitTest, PumpKeepsTimersAndPaintingGoing) {
  int fired = 0;
  const BusyScope busy;
  QTimer::singleShot(0, [&] { ++fired; });
  BusyScope::Pump();
  EXPECT_EQ(fired, 1);
}

TEST_F(BusyWaitTest, WaitForWorkElsewhereEndsWhenItIsDoneAndTakesNoInput) {
  std::atomic<bool> done{false};
  int fired = 0;
  QTimer::singleShot(0, [&] {
    QTest::keyClicks(edit_, QStringLiteral("typed"));
    ++fired;
  });
  std::thread worker([&] {
    std::this_thread::sleep_for(100ms);
    done = true;
  });
  WaitPumping([&] { return done.load(); });
  worker.join();
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(edit_->text(), "");
  EXPECT_FALSE(BusyScope::IsDiscardingInput());
}

}  // namespace
}  // namespace corvane::dialogs
