// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/message_box.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <vector>

#include "support/modal_watcher.h"
#include "with_look.h"

namespace corvane::dialogs {
namespace {

using ::testing::ElementsAre;

class MessageBoxTest : public WithLook {
 protected:
  void TearDown() override { SetMessageHook({}); }
};

TEST_F(MessageBoxTest, HookReceivesEveryKindWithItsCaptionAndIcon) {
  std::vector<ShownMessage> shown;
  SetMessageHook([&](const ShownMessage& message) { shown.push_back(message); });

  ShowError(nullptr, "Failed to map drive.");
  ShowWarning(nullptr, "Please input IP address!");
  ShowConfirm(nullptr, "Set to dhcp client done!");
  ShowMessage(nullptr, "Install language done.", "", MessageIcon::kInformation);

  EXPECT_THAT(
      shown,
      ElementsAre(ShownMessage{"Failed to map drive.", "Error", MessageIcon::kError},
                  ShownMessage{"Please input IP address!", "Warning", MessageIcon::kWarning},
                  ShownMessage{"Set to dhcp client done!", "Confirm", MessageIcon::kInformation},
                  ShownMessage{"Install language done.", "Corvane", MessageIcon::kInformation}));
}

TEST_F(MessageBoxTest, HookMayReplaceItselfWhileAnswering) {
  int first = 0;
  int second = 0;
  SetMessageHook([&](const ShownMessage&) {
    ++first;
    SetMessageHook([&](const ShownMessage&) { ++second; });
  });
  ShowError(nullptr, "one");
  ShowError(nullptr, "two");
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 1);
}

TEST_F(MessageBoxTest, RealBoxShowsTextCaptionIconAndOnlyAnOkButton) {
  testing::ModalWatcher watcher;
  watcher.Expect([](QWidget* modal) {
    EXPECT_EQ(modal->windowTitle(), QStringLiteral("Warning"));
    EXPECT_EQ(testing::MessageText(modal), QStringLiteral("Gateway address input error!"));
    EXPECT_EQ(testing::MessageIcon(modal), QMessageBox::Warning);
    EXPECT_EQ(modal->palette().color(QPalette::Window), QColor(145, 0, 0));
    QStringList buttons;
    for (auto* button : modal->findChildren<QAbstractButton*>()) {
      if (button->isVisible()) buttons << button->text().remove(QLatin1Char('&'));
    }
    EXPECT_EQ(buttons, QStringList{QStringLiteral("OK")});
    testing::ClickButton(modal, QStringLiteral("OK"));
  });
  ShowWarning(nullptr, "Gateway address input error!");
  EXPECT_TRUE(watcher.AllDone());
}

TEST_F(MessageBoxTest, RealBoxWithoutCaptionShowsTheApplicationTitle) {
  testing::ModalWatcher watcher;
  watcher.Expect([](QWidget* modal) {
    EXPECT_EQ(modal->windowTitle(), QStringLiteral("Corvane"));
    EXPECT_EQ(testing::MessageIcon(modal), QMessageBox::Critical);
    testing::ClickButton(modal, QStringLiteral("OK"));
  });
  ShowMessage(nullptr, "Copy fail", "", MessageIcon::kError);
  EXPECT_EQ(watcher.Handled(), 1);
}

TEST_F(MessageBoxTest, WatcherAnswersNestedModalsInOrder) {
  testing::ModalWatcher watcher;
  std::vector<QString> order;
  watcher.Expect([&](QWidget* modal) {
    order.push_back(testing::MessageText(modal));
    // Still inside the first box: this one nests.
    ShowConfirm(modal, "inner");
    order.push_back(QStringLiteral("inner closed"));
    testing::ClickButton(modal, QStringLiteral("OK"));
  });
  watcher.Expect([&](QWidget* modal) {
    order.push_back(testing::MessageText(modal));
    testing::ClickButton(modal, QStringLiteral("OK"));
  });
  ShowError(nullptr, "outer");
  EXPECT_THAT(order, ElementsAre("outer", "inner", "inner closed"));
  EXPECT_TRUE(watcher.AllDone());
}

}  // namespace
}  // namespace corvane::dialogs
