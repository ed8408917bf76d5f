// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/look.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTest>

#include "dialogs/app_icon.h"
#include "with_look.h"

namespace corvane::dialogs {
namespace {

using LookTest = WithLook;

QColor BackgroundOf(QWidget& widget) {
  return widget.palette().color(QPalette::Window);
}

TEST_F(LookTest, ShownDialogIsDarkRedWithWhiteLabels) {
  QDialog dialog;
  auto* label = new QLabel(QStringLiteral("Host Name :"), &dialog);
  auto* edit = new QLineEdit(&dialog);
  edit->move(0, 30);
  dialog.resize(200, 100);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

  EXPECT_EQ(BackgroundOf(dialog), QColor(145, 0, 0));
  EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::white));
  // Edits keep their own colours: a white field with dark text.
  EXPECT_EQ(edit->palette().color(QPalette::Base), QColor(Qt::white));
  EXPECT_NE(edit->palette().color(QPalette::Text), QColor(Qt::white));

  const QImage image = dialog.grab().toImage();
  EXPECT_EQ(image.pixelColor(190, 90), QColor(145, 0, 0));
}

TEST_F(LookTest, MessageBoxesShareTheDialogColours) {
  QMessageBox box(QMessageBox::Information, QStringLiteral("Confirm"), QStringLiteral("Done"),
                  QMessageBox::Ok);
  box.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
  EXPECT_EQ(BackgroundOf(box), QColor(145, 0, 0));
  EXPECT_EQ(box.palette().color(QPalette::WindowText), QColor(Qt::white));
}

TEST_F(LookTest, PlainWidgetsOutsideDialogsKeepTheStandardColours) {
  QWidget widget;
  widget.show();
  EXPECT_NE(BackgroundOf(widget), QColor(145, 0, 0));
}

TEST_F(LookTest, GroupBoxFrameStandsOutFromTheDarkRed) {
  QDialog dialog;
  auto* group = new QGroupBox(QStringLiteral("LAN"), &dialog);
  group->setGeometry(10, 10, 150, 80);
  dialog.resize(200, 120);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

  // Walk up the middle of the box from its bottom edge: some pixel of the frame must differ
  // clearly from the background.
  const QImage image = group->grab().toImage();
  const int x = image.width() / 2;
  int strongest = 0;
  for (int y = image.height() - 1; y > image.height() - 6; --y) {
    const QColor c = image.pixelColor(x, y);
    strongest = std::max(strongest, std::abs(c.red() - 145) + c.green() + c.blue());
  }
  EXPECT_GT(strongest, 120);
}

TEST_F(LookTest, DialogButtonsCarryNoIcons) {
  EXPECT_EQ(qApp->style()->styleHint(QStyle::SH_DialogButtonBox_ButtonsHaveIcons), 0);
}

TEST_F(LookTest, ApplicationIconHasEverySizeAndIsTheDefaultWindowIcon) {
  const QIcon icon = AppIcon();
  ASSERT_FALSE(icon.isNull());
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
  }
  // The icon is drawn in the program's colours: its middle is white on dark red around it.
  const QImage image = icon.pixmap(32, 32).toImage();
  EXPECT_EQ(image.pixelColor(2, 16).red(), 145);
  EXPECT_FALSE(QApplication::windowIcon().isNull());
  EXPECT_EQ(ApplicationTitle(), QStringLiteral("Corvane"));
}

}  // namespace
}  // namespace corvane::dialogs
