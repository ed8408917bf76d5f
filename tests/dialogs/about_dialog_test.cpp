// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/about_dialog.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "support/modal_watcher.h"
#include "with_look.h"

namespace corvane::dialogs {
namespace {

using AboutDialogTest = WithLook;

TEST_F(AboutDialogTest, ShowsIconVersionAndClosesWithItsDefaultButton) {
  CAboutDlg dialog;
  testing::ModalWatcher watcher;
  watcher.Expect([](QWidget* modal) {
    EXPECT_EQ(modal->windowTitle(), "About Corvane");
    EXPECT_EQ(modal->size(), QSize(353, 83));
    EXPECT_EQ(modal->palette().color(QPalette::Window), QColor(145, 0, 0));
    auto* ok = FindControl<QPushButton>(modal, 1);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("確定"));
    EXPECT_TRUE(ok->isDefault());
    // Enter presses the default button, which ends the box with OK.
    QTest::keyClick(modal, Qt::Key_Return);
  });
  EXPECT_EQ(dialog.DoModal(), QDialog::Accepted);
  EXPECT_TRUE(watcher.AllDone());
}

TEST_F(AboutDialogTest, TextsFitTheirTemplateRects) {
  CAboutDlg dialog;
  dialog.show();
  auto* version = dialog.findChild<QLabel*>("versionText");
  auto* second = dialog.findChild<QLabel*>("secondLine");
  ASSERT_NE(version, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(version->text(), "Corvane Version 3.8.0.0");
  for (QLabel* label : {version, second}) {
    const QFontMetrics metrics(label->font());
    EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width())
        << label->text().toStdString() << " is cut off";
    EXPECT_LE(metrics.height(), label->height());
  }
  // The icon is the application's, 32 x 32 at 11,17 dialog units.
  const auto labels = dialog.findChildren<QLabel*>();
  const auto icon =
      std::find_if(labels.begin(), labels.end(), [](QLabel* l) { return !l->pixmap().isNull(); });
  ASSERT_NE(icon, labels.end());
  EXPECT_EQ((*icon)->geometry(), QRect(17, 26, 32, 32));
}

}  // namespace
}  // namespace corvane::dialogs
