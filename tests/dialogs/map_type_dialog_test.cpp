// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/map_type_dialog.h"

#include <gtest/gtest.h>

#include <QExposeEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWindow>
#include <functional>

#include "support/modal_watcher.h"
#include "with_look.h"

namespace corvane::dialogs {
namespace {

class MapTypeDialogTest : public WithLook {
 protected:
  // Runs the dialog as Mount does; the action answers it. 1 host name, 2 address, 0 cancelled.
  int Run(const std::function<void(CMapTypeDlg&)>& action) {
    CMapTypeDlg dialog;
    testing::ModalWatcher watcher;
    watcher.Expect([&](QWidget*) { action(dialog); });
    dialog.DoModal();
    EXPECT_TRUE(watcher.AllDone());
    return static_cast<int>(dialog.Answer());
  }
  static void Click(QWidget* control) { QTest::mouseClick(control, Qt::LeftButton); }
};

TEST_F(MapTypeDialogTest, HostNameIsPreselectedAndEachChoiceGivesItsType) {
  EXPECT_EQ(Run([](CMapTypeDlg& dialog) {
              EXPECT_EQ(dialog.windowTitle(), "Mapping Type");
              EXPECT_EQ(dialog.size(), QSize(260, 114));
              EXPECT_EQ(dialog.HostNameButton()->text(), "Host Name");
              EXPECT_EQ(dialog.AddressButton()->text(), "IP Address");
              EXPECT_EQ(FindControl(&dialog, CMapTypeDlg::kIdAddress), dialog.AddressButton());
              EXPECT_TRUE(dialog.HostNameButton()->isChecked());
              EXPECT_FALSE(dialog.AddressButton()->isChecked());
              EXPECT_TRUE(FindControl<QPushButton>(&dialog, 1)->isDefault());
              Click(FindControl(&dialog, 1));
            }),
            1);
  EXPECT_EQ(Run([](CMapTypeDlg& dialog) {
              Click(dialog.AddressButton());
              EXPECT_FALSE(dialog.HostNameButton()->isChecked());
              Click(FindControl(&dialog, 1));
            }),
            2);
  EXPECT_EQ(Run([](CMapTypeDlg& dialog) { Click(FindControl(&dialog, 2)); }), 0);
  EXPECT_EQ(Run([](CMapTypeDlg& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); }), 0);
}

TEST_F(MapTypeDialogTest, ARepaintMarksHostNameAgainWhichThenWins) {
  EXPECT_EQ(Run([](CMapTypeDlg& dialog) {
              Click(dialog.AddressButton());
              // The window system asks for a repaint, as when another window uncovers it.
              QExposeEvent expose(QRegion(dialog.rect()));
              QCoreApplication::sendEvent(dialog.windowHandle(), &expose);
              EXPECT_TRUE(dialog.HostNameButton()->isChecked());
              EXPECT_TRUE(dialog.AddressButton()->isChecked()) << "the other mark stays";
              Click(FindControl(&dialog, 1));
            }),
            1);
  // Neither marked: OK leaves the type as Mount set it, the host name.
  EXPECT_EQ(Run([](CMapTypeDlg& dialog) {
              dialog.HostNameButton()->setChecked(false);
              Click(FindControl(&dialog, 1));
            }),
            1);
}

}  // namespace
}  // namespace corvane::dialogs
