// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/look.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTreeWidget>

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

// Pixels in which the dialogs' dark red shows.
int RedPixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() - std::max(c.green(), c.blue()) > 40) ++count;
    }
  }
  return count;
}

TEST_F(LookTest, ListsDropDownListsAndGreyedEditsKeepTheStandardColours) {
  QDialog dialog;
  auto* list = new QTreeWidget(&dialog);
  list->setHeaderLabels({QStringLiteral("Share name"), QStringLiteral("Connect to")});
  list->setColumnWidth(0, 60);  // the header goes on past the columns
  list->setColumnWidth(1, 60);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);  // with a corner between the bars
  list->setGeometry(10, 10, 200, 120);
  auto* combo = new QComboBox(&dialog);
  for (int entry = 0; entry < 30; ++entry) combo->addItem(QString::number(entry));
  combo->setGeometry(10, 140, 100, 21);
  auto* greyed = new QLineEdit(QStringLiteral("admin"), &dialog);
  greyed->setGeometry(120, 140, 80, 21);
  greyed->setEnabled(false);
  dialog.resize(220, 170);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

  EXPECT_EQ(RedPixels(list->grab().toImage()), 0);
  combo->showPopup();
  EXPECT_EQ(RedPixels(combo->view()->window()->grab().toImage()), 0);
  combo->hidePopup();
  const QImage field = greyed->grab().toImage();
  EXPECT_EQ(RedPixels(field), 0);
  // The greyed text stays legible on the field's grey.
  int darkest = 255;
  const QRect inside = field.rect().adjusted(4, 4, -4, -4);
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    for (int x = inside.left(); x <= inside.right(); ++x) {
      darkest = std::min(darkest, qGray(field.pixel(x, y)));
    }
  }
  EXPECT_LT(darkest, 130);
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
