// SPDX-License-Identifier: GPL-3.0-or-later
// The main window without a network: layout, keys, closing, input limits, refusals that need
// no device, and the drive letters.

#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "app/device_text.h"
#include "app/main_app.h"
#include "app/main_dlg.h"
#include "app/main_dlg_template.h"
#include "dialogs/ip_address_edit.h"
#include "platform/testing/fake_drive_mappings.h"
#include "support/modal_watcher.h"
#include "window_test_support.h"

namespace corvane::app {
namespace {

using corvane::testing::ModalWatcher;
using dialogs::MessageIcon;
using platform::testing::FakeDriveMappings;
using test::ColumnTexts;
using test::MessageLog;

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    test::UseProgramLook();
    session.OpenTransport({});  // no interface: every search is empty at once
  }

  CMainDlg& Window() {
    if (!window) {
      window = std::make_unique<CMainDlg>(session, drives);
      window->InitDialog();
      window->RunFirstSearch();
    }
    return *window;
  }
  template <typename T>
  T* Item(int controlId) {
    return dialogs::FindControl<T>(&Window(), controlId);
  }
  // A device in the table, listed as a search lists it, its row made the current one.
  QTreeWidgetItem* ListDevice(std::string_view name) {
    session.DeviceTable.AddDevice(name, "127.0.0.1", "", "", "0", {}, 0);
    Window().ListDeviceTable();
    auto* devices = Item<QTreeWidget>(id::kDeviceList);
    QTreeWidgetItem* row = devices->topLevelItem(devices->topLevelItemCount() - 1);
    devices->setCurrentItem(row);
    return row;
  }

  protocol::Session session;
  FakeDriveMappings drives;
  std::unique_ptr<CMainDlg> window;
};

TEST_F(MainWindowTest, ControlsSitInsideTheWindowWithoutOverlapping) {
  CMainDlg& dialog = Window();
  EXPECT_EQ(dialog.size(), QSize(554, 531));
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Corvane"));
  std::vector<QWidget*> controls;
  for (const TemplateItem& item : kMainControls) {
    QWidget* control = dialogs::FindControl(&dialog, item.id);
    ASSERT_NE(control, nullptr) << item.id;
    EXPECT_EQ(control->property("controlId").toInt(), item.id);
    EXPECT_TRUE(dialog.rect().contains(control->geometry())) << item.id;
    for (QWidget* other : controls) {
      EXPECT_FALSE(control->geometry().intersects(other->geometry()))
          << item.id << " overlaps " << other->property("controlId").toInt();
    }
    controls.push_back(control);
  }
  EXPECT_EQ(dialogs::FindControl(&dialog, 1000)->geometry().topLeft(), QPoint(20, 20));
}

TEST_F(MainWindowTest, LabelsGroupsListsAndCombosCarryTheirTexts) {
  CMainDlg& dialog = Window();
  QStringList labels;
  for (const QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
  for (const char* text : {" Host Name :", " Workgroup :", "DHCP Client :", "I P :", "Netmask :",
                           "Gateway :", "Drive :"}) {
    EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;
  }
  QStringList groups;
  for (const QGroupBox* group : dialog.findChildren<QGroupBox*>()) groups << group->title();
  EXPECT_EQ(groups, QStringList({"Search Device", "Setting", "LAN", "Static"}));

  auto* devices = Item<QTreeWidget>(id::kDeviceList);
  ASSERT_EQ(devices->columnCount(), 4);
  EXPECT_EQ(devices->headerItem()->text(3), QStringLiteral("Gateway"));
  EXPECT_EQ(devices->selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_EQ(devices->selectionBehavior(), QAbstractItemView::SelectRows);
  auto* shares = Item<QTreeWidget>(id::kShareList);
  EXPECT_EQ(shares->headerItem()->text(0), QStringLiteral("Share name"));
  EXPECT_EQ(shares->headerItem()->text(1), QStringLiteral("Connect to"));

  auto* dhcp = Item<QComboBox>(id::kDhcp);
  ASSERT_EQ(dhcp->count(), 2);
  EXPECT_EQ(dhcp->itemText(0), QStringLiteral("Disabled"));
  EXPECT_EQ(dhcp->itemText(1), QStringLiteral("Enabled"));
  EXPECT_EQ(Item<QPushButton>(id::kWebPage)->text(), QStringLiteral("Connect to webpage"));
}

// The control a key press lands in: the focused widget or the template control around it.
int FocusedControlId() {
  for (QWidget* at = QApplication::focusWidget(); at != nullptr; at = at->parentWidget()) {
    if (const QVariant id = at->property("controlId"); id.isValid()) return id.toInt();
  }
  return -1;
}

TEST_F(MainWindowTest, TabAndShiftTabWalkEveryEnabledControlRoundAndRound) {
  CMainDlg& dialog = Window();
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  Item<QPushButton>(id::kMount)->setEnabled(false);  // a disabled control is passed over
  std::vector<int> round;
  for (const TemplateItem& item : kMainControls) {
    if (item.id != id::kMount) round.push_back(item.id);
  }
  for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
    Item<QTreeWidget>(id::kDeviceList)->setFocus();
    std::vector<int> walked;
    std::vector<int> expected;
    for (int step = 0; step < 3 * static_cast<int>(round.size()); ++step) {
      walked.push_back(FocusedControlId());
      const std::size_t at = static_cast<std::size_t>(step) % round.size();
      expected.push_back(key == Qt::Key_Tab ? round[at]
                                            : round[(round.size() - at) % round.size()]);
      QTest::keyClick(QApplication::focusWidget(), key);
    }
    EXPECT_EQ(walked, expected) << (key == Qt::Key_Tab ? "Tab" : "Shift+Tab");
  }
}

TEST_F(MainWindowTest, EnterNeitherEndsTheWindowNorPressesAButton) {
  ModalWatcher watcher;  // fails the test if Enter opened the About box
  CMainDlg& dialog = Window();
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QLineEdit* hostName = Item<QLineEdit>(id::kHostName);
  hostName->setFocus();
  QTest::keyClick(hostName, Qt::Key_Return);
  QTest::keyClick(Item<QTreeWidget>(id::kDeviceList), Qt::Key_Enter);
  QApplication::processEvents();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(MainWindowTest, EnterOnAFocusedButtonPressesIt) {
  MessageLog messages;
  CMainDlg& dialog = Window();
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  auto* modify = Item<QPushButton>(id::kModifyNames);
  modify->setFocus();
  QTest::keyClick(modify, Qt::Key_Return);
  EXPECT_EQ(messages.texts(),
            std::vector<std::string>{std::string(operations::text::kSelectServerToModifyNames)});
  EXPECT_TRUE(dialog.isVisible());
}

TEST_F(MainWindowTest, TheFirstSearchWaitsUntilTheWindowIsOnScreen) {
  CMainDlg dialog(session, drives);
  dialog.show();
  EXPECT_TRUE(dialog.FirstSearchPending());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QTRY_VERIFY(!dialog.FirstSearchPending());
}

TEST_F(MainWindowTest, DoModalFillsTheWindowOnce) {
  CMainDlg dialog(session, drives);
  ModalWatcher watcher;
  watcher.Expect([&](QWidget* modal) {
    EXPECT_EQ(modal, &dialog);
    EXPECT_EQ(dialogs::FindControl<QTreeWidget>(&dialog, id::kDeviceList)->columnCount(), 4);
    EXPECT_EQ(dialogs::FindControl<QComboBox>(&dialog, id::kDrive)->currentText(), "D:");
    EXPECT_FALSE(dialog.FirstSearchPending());
    corvane::testing::RejectModal(modal);
  });
  dialog.DoModal();
  EXPECT_TRUE(watcher.AllDone());

  auto* hostName = dialogs::FindControl<QLineEdit>(&dialog, id::kHostName);
  hostName->setText(QStringLiteral("typed"));
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  EXPECT_EQ(hostName->text(), QStringLiteral("typed")) << "initialised a second time";
}

TEST_F(MainWindowTest, EscapeEndsTheWindowAndLeavesTheTransportToTheProgramEnd) {
  session.OpenTransport({{"lo", 1, "127.0.0.1"}});
  CMainDlg& dialog = Window();
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_TRUE(session.IsTransportOpen());
}

TEST_F(MainWindowTest, CloseBoxClosesTheTransportAndExitAlsoFreesTheDeviceTable) {
  session.OpenTransport({{"lo", 1, "127.0.0.1"}});
  CMainDlg& dialog = Window();
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QTest::keyClick(&dialog, Qt::Key_Escape);
  ASSERT_TRUE(session.IsTransportOpen());
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  dialog.close();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_FALSE(session.IsTransportOpen());

  session.OpenTransport({{"lo", 1, "127.0.0.1"}});
  session.DeviceTable.AddDevice("NAS", "127.0.0.1", "255.0.0.0", "127.0.0.1", "0", {}, 0);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QTest::mouseClick(Item<QPushButton>(id::kExit), Qt::LeftButton);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_FALSE(session.IsTransportOpen());
  EXPECT_EQ(session.DeviceTable.count(), 0);
}

TEST_F(MainWindowTest, NameEditsRefuseASixteenthTypedCharacterButShowLongerDeviceNames) {
  CMainDlg& dialog = Window();
  dialog.show();
  for (int editId : {id::kHostName, id::kWorkgroup}) {
    QLineEdit* edit = Item<QLineEdit>(editId);
    QTest::keyClicks(edit, "ABCDEFGHIJKLMNOPQR");
    EXPECT_EQ(edit->text(), QStringLiteral("ABCDEFGHIJKLMNO"));
    EXPECT_TRUE(edit->isUndoAvailable());
    edit->clear();
  }
  // What a click on a device with a long name puts in.
  ListDevice("A-DEVICE-NAME-OF-24-CHAR");
  dialog.OnClickDeviceList();
  QLineEdit* hostName = Item<QLineEdit>(id::kHostName);
  EXPECT_EQ(hostName->text().size(), 24);
  EXPECT_EQ(hostName->cursorPosition(), 0) << "the edit shows the name's end, not its beginning";
  hostName->setFocus();
  hostName->end(false);
  QTest::keyClick(hostName, Qt::Key_X);
  EXPECT_EQ(hostName->text().size(), 24);
  QTest::keyClick(hostName, Qt::Key_Backspace);
  QTest::keyClick(hostName, Qt::Key_X);
  EXPECT_EQ(hostName->text().size(), 23);
  for (int typed = 0; typed < 10; ++typed) QTest::keyClick(hostName, Qt::Key_Backspace);
  QTest::keyClicks(hostName, "ABCDEFGHIJ");
  EXPECT_EQ(hostName->text().size(), 15);
}

TEST_F(MainWindowTest, APasteOverTheNameLimitKeepsWhatFits) {
  QLineEdit* workgroup = Item<QLineEdit>(id::kWorkgroup);
  workgroup->setText("ABCDEFGHIJ");
  workgroup->setCursorPosition(2);
  QApplication::clipboard()->setText("123456789");
  workgroup->paste();
  EXPECT_EQ(workgroup->text(), QStringLiteral("AB12345CDEFGHIJ"));
  EXPECT_EQ(workgroup->cursorPosition(), 7);
}

TEST_F(MainWindowTest, AShownNameTooLongForTheRequestIsCutAtACharacterBorder) {
  MessageLog messages;
  CMainDlg& dialog = Window();
  // 15 two-byte letters and more: byte 31 falls in the middle of the 16th.
  ListDevice(QString(20, QChar(0x00C4)).toUtf8().toStdString());
  dialog.OnClickDeviceList();
  Item<QLineEdit>(id::kWorkgroup)->setText("WG");
  dialog.OnModifyHostName();
  EXPECT_TRUE(messages.shown().empty());
  EXPECT_EQ(session.HostNameText.view(), QString(15, QChar(0x00C4)).toUtf8().toStdString());
  EXPECT_EQ(session.WorkgroupText.view(), "WG");
}

TEST_F(MainWindowTest, ANameInALegacyCodePageGoesBackByteForByteUnlessEdited) {
  MessageLog messages;
  CMainDlg& dialog = Window();
  const auto clickDevice = [&] {
    ListDevice("CAF\xC9");  // Latin-1, not valid UTF-8
    dialog.OnClickDeviceList();
    Item<QLineEdit>(id::kWorkgroup)->setText("WG");
  };
  clickDevice();
  EXPECT_EQ(Item<QLineEdit>(id::kHostName)->text(), QString::fromUtf8("CAF\u00C9"));
  dialog.OnModifyHostName();
  EXPECT_EQ(session.HostNameText.view(), "CAF\xC9");

  clickDevice();  // the change above refreshed the list
  Item<QLineEdit>(id::kHostName)->setText(QString::fromUtf8("CAF\u00C9S"));
  dialog.OnModifyHostName();
  EXPECT_EQ(session.HostNameText.view(), "CAF\xC3\x89S");  // typed by the user: UTF-8
  EXPECT_TRUE(messages.shown().empty());
}

TEST_F(MainWindowTest, ACtrlClickThatDeselectsTheRowLeavesThePreviousDeviceShown) {
  CMainDlg& dialog = Window();
  dialog.show();
  auto* devices = Item<QTreeWidget>(id::kDeviceList);
  QTreeWidgetItem* row = ListDevice("NAS");
  test::ClickRow(devices, 0);
  ASSERT_TRUE(row->isSelected());
  auto* workgroup = Item<QLineEdit>(id::kWorkgroup);
  workgroup->setText("SHOWN");

  test::ClickRow(devices, 0, Qt::ControlModifier);
  EXPECT_FALSE(row->isSelected());
  // Acting on the row would have read its workgroup again (and, without a network, emptied it).
  EXPECT_EQ(workgroup->text(), "SHOWN");
  EXPECT_TRUE(dialog.DeviceSelected());
}

TEST_F(MainWindowTest, OperationsOnTheSelectedDeviceRefuseWithoutASelection) {
  MessageLog messages;
  CMainDlg& dialog = Window();
  Item<QComboBox>(id::kDhcp)->setCurrentIndex(1);
  dialog.OnModifyLan();
  Item<QLineEdit>(id::kHostName)->setText("NAS");
  Item<QLineEdit>(id::kWorkgroup)->setText("WG");
  dialog.OnModifyHostName();
  ASSERT_EQ(messages.shown().size(), 2u);
  EXPECT_EQ(messages.shown()[0].text, operations::text::kSelectServerToModifyIp);
  EXPECT_EQ(messages.shown()[0].caption, "Error");
  EXPECT_EQ(messages.shown()[0].icon, MessageIcon::kError);
  EXPECT_EQ(messages.shown()[1].text, operations::text::kSelectServerToModifyNames);
  EXPECT_EQ(messages.shown()[1].caption, "Error");
}

TEST_F(MainWindowTest, TheDhcpListStartsWithoutASelectionAndModifyThenStopsSilently) {
  MessageLog messages;
  CMainDlg& dialog = Window();
  EXPECT_EQ(Item<QComboBox>(id::kDhcp)->currentIndex(), -1);
  // A click on the empty part of the list selects no device and leaves the DHCP list as it is.
  dialog.OnClickDeviceList();
  ASSERT_TRUE(dialog.DeviceSelected());
  dialog.OnModifyLan();
  EXPECT_EQ(messages.texts(), std::vector<std::string>{});
}

TEST_F(MainWindowTest, ChoosingDhcpGreysTheAddressControlsWithoutSendingAnything) {
  CMainDlg& dialog = Window();
  dialog.show();
  auto* dhcp = Item<QComboBox>(id::kDhcp);
  dhcp->setFocus();
  dhcp->setCurrentIndex(0);
  QTest::keyClick(dhcp, Qt::Key_Down);
  ASSERT_EQ(dhcp->currentText(), QStringLiteral("Enabled"));
  for (int controlId : {id::kIpAddress, id::kNetmask, id::kGateway}) {
    EXPECT_FALSE(dialogs::FindControl(&dialog, controlId)->isEnabled()) << controlId;
  }
  QTest::keyClick(dhcp, Qt::Key_Up);
  for (int controlId : {id::kIpAddress, id::kNetmask, id::kGateway}) {
    EXPECT_TRUE(dialogs::FindControl(&dialog, controlId)->isEnabled()) << controlId;
  }
  // A selection made by the program is not a choice of the user.
  dhcp->setCurrentIndex(1);
  EXPECT_TRUE(dialogs::FindControl(&dialog, id::kIpAddress)->isEnabled());
}

TEST_F(MainWindowTest, DriveComboOffersFreeAndConnectedLettersAndRepaintsKeepTheChosenOne) {
  drives.SetDriveType('D', platform::DriveType::kLocal);
  drives.Connect('Z', "\\\\server\\docs");
  CMainDlg& dialog = Window();
  auto* combo = Item<QComboBox>(id::kDrive);
  ASSERT_EQ(combo->count(), 22);
  EXPECT_EQ(combo->itemText(0), QStringLiteral("E:"));
  EXPECT_EQ(combo->itemText(21), QStringLiteral("Z: \\\\server\\docs"));
  EXPECT_EQ(combo->currentIndex(), 0);

  // A connection made outside the program shows after the next repaint; the letter the user
  // chose stays chosen while it is listed, and otherwise the first free one is.
  combo->setCurrentIndex(5);
  ASSERT_EQ(combo->currentText(), QStringLiteral("J:"));
  drives.Connect('E', "\\\\nas\\public");
  dialog.RequestPaintRescan();
  QApplication::processEvents();
  EXPECT_EQ(combo->itemText(0), QStringLiteral("E: \\\\nas\\public"));
  EXPECT_EQ(combo->currentText(), QStringLiteral("J:"));
  drives.SetDriveType('J', platform::DriveType::kLocal);
  dialog.OnPaint();
  EXPECT_EQ(combo->currentText(), QStringLiteral("F:"));
}

TEST_F(MainWindowTest, AboutIsOfferedOnTheWindowBackground) {
  CMainDlg& dialog = Window();
  EXPECT_EQ(dialog.AboutAction()->text(), QStringLiteral("About Corvane(&A)..."));
  ModalWatcher watcher;
  QString caption;
  watcher.Expect([&](QWidget* modal) {
    caption = modal->windowTitle();
    static_cast<QDialog*>(modal)->reject();
  });
  dialog.AboutAction()->trigger();
  EXPECT_EQ(caption, QStringLiteral("About Corvane"));
}

TEST(TransportProblemTest, AWindowWithoutUsableInterfacesHasSomethingToSay) {
  protocol::Session session;
  session.OpenTransport({});
  EXPECT_FALSE(DescribeTransportProblems(session).empty());
}

}  // namespace
}  // namespace corvane::app
