// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/login_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "dialogs/buffer_text.h"
#include "dialogs/busy_wait.h"
#include "support/modal_watcher.h"
#include "with_look.h"

namespace corvane::dialogs {
namespace {

using Answer = std::optional<std::pair<std::string, std::string>>;

class LoginDialogTest : public WithLook {
 protected:
  // Runs the dialog; the action sees it shown and answers it. What it answered lands in answer_.
  int Run(int adminMode, const std::function<void(CLoginDlg&)>& action) {
    CLoginDlg dialog(adminMode);
    testing::ModalWatcher watcher;
    watcher.Expect([&](QWidget* modal) {
      EXPECT_EQ(modal, &dialog);
      action(dialog);
    });
    const int result = dialog.DoModal();
    EXPECT_TRUE(watcher.AllDone());
    answer_.reset();
    if (const std::optional<platform::Credentials> typed = dialog.TakeAnswer()) {
      answer_.emplace(typed->user.view(), typed->password.view());
    }
    EXPECT_FALSE(dialog.TakeAnswer()) << "taken once";
    return result;
  }

  static void TypeInto(QLineEdit* edit, const char* text) {
    edit->setFocus();
    QTest::keyClicks(edit, QString::fromUtf8(text));
  }

  Answer answer_;
};

TEST_F(LoginDialogTest, TemplateControlsAndLook) {
  Run(0, [](CLoginDlg& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Login");
    EXPECT_EQ(dialog.size(), QSize(299, 113));
    EXPECT_EQ(dialog.palette().color(QPalette::Window), QColor(145, 0, 0));
    EXPECT_EQ(FindControl<QLineEdit>(&dialog, 1016), dialog.UserNameEdit());
    EXPECT_EQ(FindControl<QLineEdit>(&dialog, 1017), dialog.PasswordEdit());
    EXPECT_EQ(dialog.UserNameEdit()->geometry(), QRect(90, 27, 104, 21));
    EXPECT_EQ(dialog.PasswordEdit()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.UserNameEdit()->maxLength(), 16);
    EXPECT_EQ(dialog.PasswordEdit()->maxLength(), 16);
    auto* ok = FindControl<QPushButton>(&dialog, 1);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(FindControl<QPushButton>(&dialog, 2)->text(), "Cancel");
    dialog.reject();
  });
}

TEST_F(LoginDialogTest, AdministratorModeFixesAdminAndStoresTheTypedPassword) {
  const int result = Run(1, [](CLoginDlg& dialog) {
    EXPECT_EQ(dialog.UserNameEdit()->text(), "admin");
    EXPECT_FALSE(dialog.UserNameEdit()->isEnabled());
    EXPECT_EQ(dialog.PasswordEdit()->text(), "");
    TypeInto(dialog.PasswordEdit(), "s3cret");
    FindControl<QPushButton>(&dialog, 1)->click();
  });
  EXPECT_EQ(answer_, Answer({"admin", "s3cret"}));
  EXPECT_EQ(result, QDialog::Rejected) << "OK ends the dialog as Cancel does";
}

TEST_F(LoginDialogTest, ShareModeLeavesTheUserNameEmptyAndEditable) {
  Run(0, [](CLoginDlg& dialog) {
    EXPECT_EQ(dialog.UserNameEdit()->text(), "");
    EXPECT_TRUE(dialog.UserNameEdit()->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), dialog.UserNameEdit());
    TypeInto(dialog.UserNameEdit(), "bob");
    TypeInto(dialog.PasswordEdit(), "12345678901234567890");  // stops at 16
    QTest::keyClick(dialog.PasswordEdit(), Qt::Key_Return);   // Enter presses OK
  });
  EXPECT_EQ(answer_, Answer({"bob", "1234567890123456"}));
}

TEST_F(LoginDialogTest, OkWithBothFieldsEmptyAnswersEmptyTexts) {
  Run(0, [](CLoginDlg& dialog) { FindControl<QPushButton>(&dialog, 1)->click(); });
  EXPECT_EQ(answer_, Answer({"", ""}));
}

TEST_F(LoginDialogTest, CancelEscapeAndCloseAnswerNothing) {
  const std::function<void(CLoginDlg&)> ways[] = {
      [](CLoginDlg& dialog) { FindControl<QPushButton>(&dialog, 2)->click(); },
      [](CLoginDlg& dialog) { QTest::keyClick(dialog.PasswordEdit(), Qt::Key_Escape); },
      [](CLoginDlg& dialog) {
        QCloseEvent close;  // the close box, through the window manager
        QCoreApplication::sendEvent(dialog.windowHandle(), &close);
      }};
  for (const auto& way : ways) {
    Run(0, [&](CLoginDlg& dialog) {
      TypeInto(dialog.UserNameEdit(), "typed");
      TypeInto(dialog.PasswordEdit(), "typed");
      way(dialog);
      EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(answer_, std::nullopt);
  }
}

TEST_F(LoginDialogTest, OpenedInsideABlockingWaitItStillTakesInput) {
  const BusyScope busy;
  Run(1, [](CLoginDlg& dialog) {
    TypeInto(dialog.PasswordEdit(), "pw");
    QTest::keyClick(dialog.PasswordEdit(), Qt::Key_Return);
  });
  EXPECT_EQ(answer_, Answer({"admin", "pw"}));
  EXPECT_TRUE(BusyScope::IsDiscardingInput()) << "the wait goes on after the dialog";
}

TEST_F(LoginDialogTest, NonAsciiInputIsNeverCutInsideACharacter) {
  Run(0, [](CLoginDlg& dialog) {
    // Sixteen characters, but 32 bytes in UTF-8: the buffer keeps eight whole ones.
    dialog.UserNameEdit()->setText(QString(16, QChar(0x00E9)));
    FindControl<QPushButton>(&dialog, 1)->click();
  });
  EXPECT_EQ(answer_->first.size(), 16u);
  EXPECT_EQ(FromBufferText(answer_->first), QString(8, QChar(0x00E9)));
}

}  // namespace
}  // namespace corvane::dialogs
