// SPDX-License-Identifier: GPL-3.0-or-later
// The main window against the simulated devices of the standard lab: search, selection, LAN
// settings, host name and workgroup.

#include <QTimer>

#include "dialogs/busy_wait.h"
#include "lab_window_fixture.h"

namespace corvane::app {
namespace {

using corvane::testing::ModalWatcher;
using dialogs::MessageIcon;
using test::ColumnTexts;
using test::Contains;
using test::DeviceState;
using test::kAddressColumn;
using test::MainWindowLabTest;
using test::MessageLog;

TEST_F(MainWindowLabTest, SearchListsEveryAnsweringDeviceOnBothSubnets) {
  const std::vector<std::string> addresses = ListedAddresses();
  for (const char* address :
       {"192.168.50.21", "192.168.60.22", "10.99.0.5", "192.168.50.25", "192.168.50.28"}) {
    EXPECT_TRUE(Contains(addresses, address)) << address;
  }
  EXPECT_FALSE(Contains(addresses, "192.168.50.26")) << "its match codes are not ours";
  EXPECT_FALSE(Contains(addresses, "192.168.60.29")) << "it does not answer";
  const int row = test::FindRow(Devices(), kAddressColumn, "192.168.50.21");
  ASSERT_GE(row, 0);
  const QTreeWidgetItem* alder = Devices()->topLevelItem(row);
  EXPECT_EQ(alder->text(0), QStringLiteral("NAS-ALDER"));
  EXPECT_EQ(alder->text(2), QStringLiteral("255.255.255.0"));
  EXPECT_EQ(alder->text(3), QStringLiteral("192.168.50.1"));
  EXPECT_FALSE(window->DeviceSelected());
}

TEST_F(MainWindowLabTest, ClickShowsTheDeviceAndEnablesItsOperationsOnlyInTheLocalSubnet) {
  Select("192.168.50.21");
  EXPECT_EQ(Item<QLineEdit>(id::kHostName)->text(), QStringLiteral("NAS-ALDER"));
  EXPECT_EQ(Item<QLineEdit>(id::kWorkgroup)->text(), QStringLiteral("WORKGROUP"));
  EXPECT_EQ(Address(id::kIpAddress)->GetAddress(), (protocol::Octets{192, 168, 50, 21}));
  EXPECT_EQ(Address(id::kNetmask)->GetAddress(), (protocol::Octets{255, 255, 255, 0}));
  EXPECT_EQ(Address(id::kGateway)->GetAddress(), (protocol::Octets{192, 168, 50, 1}));
  EXPECT_EQ(Item<QComboBox>(id::kDhcp)->currentText(), QStringLiteral("Disabled"));
  EXPECT_TRUE(Address(id::kIpAddress)->isEnabled());
  EXPECT_TRUE(Contains(ShareNames(), "HDD_a"));
  EXPECT_TRUE(Contains(ShareNames(), "public"));
  EXPECT_TRUE(SubnetButtonsEnabled(true));
  EXPECT_TRUE(window->DeviceSelected());
  EXPECT_EQ(window->DeviceHost(), "192.168.50.21");

  // A DHCP client, found through the second interface.
  Select("192.168.60.22");
  EXPECT_EQ(Item<QComboBox>(id::kDhcp)->currentText(), QStringLiteral("Enabled"));
  EXPECT_FALSE(Address(id::kIpAddress)->isEnabled());
  EXPECT_FALSE(Address(id::kGateway)->isEnabled());
  EXPECT_EQ(Address(id::kNetmask)->GetAddress(), (protocol::Octets{255, 255, 255, 0}));
  EXPECT_EQ(Item<QLineEdit>(id::kWorkgroup)->text(), QStringLiteral("OFFICE"));
  EXPECT_EQ(ShareNames(), (std::vector<std::string>{"HDD_1", "backup"}));
  EXPECT_TRUE(SubnetButtonsEnabled(true));

  // Answers on the first interface's network, but lies in another subnet.
  Select("10.99.0.5");
  EXPECT_EQ(Item<QLineEdit>(id::kHostName)->text(), QStringLiteral("NAS-DAMSON"));
  EXPECT_EQ(Item<QComboBox>(id::kDhcp)->currentText(), QStringLiteral("Disabled"));
  EXPECT_TRUE(Address(id::kIpAddress)->isEnabled());
  EXPECT_TRUE(SubnetButtonsEnabled(false));
  EXPECT_TRUE(dialogs::FindControl(window.get(), id::kModifyLan)->isEnabled());
  EXPECT_TRUE(dialogs::FindControl(window.get(), id::kModifyNames)->isEnabled());

  // The empty area of the list: still a click, but the shown device stays the target.
  test::ClickEmptyArea(Devices());
  EXPECT_TRUE(window->DeviceSelected());
  EXPECT_EQ(session.SelectedAddress.view(), "10.99.0.5");
  EXPECT_EQ(Item<QLineEdit>(id::kHostName)->text(), QStringLiteral("NAS-DAMSON"));
}

TEST_F(MainWindowLabTest, ArrowKeysLoadEachDeviceAsAClickDoes) {
  const auto shown = [this] {
    std::vector<std::string> fields = ShareNames();
    for (int addressId : {id::kIpAddress, id::kNetmask, id::kGateway}) {
      fields.push_back(protocol::ToDotted(Address(addressId)->GetAddress()));
    }
    for (const QString& text :
         {Item<QLineEdit>(id::kHostName)->text(), Item<QLineEdit>(id::kWorkgroup)->text(),
          Item<QComboBox>(id::kDhcp)->currentText()}) {
      fields.push_back(text.toStdString());
    }
    fields.emplace_back(session.SelectedAddress.view());
    return fields;
  };
  test::ClickRow(Devices(), 0);
  for (int row = 1; row < Devices()->topLevelItemCount(); ++row) {
    QTest::keyClick(Devices(), Qt::Key_Down);
    const std::vector<std::string> byKey = shown();
    EXPECT_EQ(byKey.back(), Devices()->topLevelItem(row)->text(kAddressColumn).toStdString());
    test::ClickRow(Devices(), row);
    EXPECT_EQ(shown(), byKey) << "row " << row;
  }
}

TEST_F(MainWindowLabTest, ConnectedShareShowsItsDriveMatchingTheHostIgnoringCaseOnlyOnClick) {
  drives.Connect('P', "\\\\nas-alder\\PUBLIC");
  window->OnPaint();  // a repaint picks up the new connection
  Select("192.168.50.21");
  QTreeWidget* shares = Item<QTreeWidget>(id::kShareList);
  const int row = test::FindRow(shares, 0, "public");
  ASSERT_GE(row, 0);
  EXPECT_EQ(shares->topLevelItem(row)->text(1), QStringLiteral("P:"));
  EXPECT_EQ(Item<QComboBox>(id::kDrive)->itemText(12), QStringLiteral("P: \\\\nas-alder\\PUBLIC"));

  window->OnPaint();
  const int repainted = test::FindRow(shares, 0, "public");
  ASSERT_GE(repainted, 0);
  EXPECT_EQ(shares->topLevelItem(repainted)->text(1), QString());
}

TEST_F(MainWindowLabTest, SearchEmptiesTheShownDeviceAndListsAgain) {
  Select("192.168.50.21");
  Press(id::kSearch);
  EXPECT_FALSE(window->DeviceSelected());
  EXPECT_TRUE(Item<QLineEdit>(id::kHostName)->text().isEmpty());
  EXPECT_TRUE(Item<QLineEdit>(id::kWorkgroup)->text().isEmpty());
  EXPECT_TRUE(Address(id::kIpAddress)->IsBlank());
  EXPECT_TRUE(Address(id::kGateway)->IsBlank());
  EXPECT_TRUE(ShareNames().empty());
  EXPECT_TRUE(Contains(ListedAddresses(), "192.168.50.21"));
  EXPECT_TRUE(dialogs::FindControl(window.get(), id::kSearch)->isEnabled());
}

TEST_F(MainWindowLabTest, RepaintDuringANetworkWaitWaitsUntilItEnds) {
  auto* combo = Item<QComboBox>(id::kDrive);
  ASSERT_EQ(combo->itemText(0), QStringLiteral("D:"));
  drives.Connect('D', "\\\\x\\y");
  std::vector<QString> seenDuringWait;
  QTimer duringWait;  // fires inside the search's wait, which keeps the window's timers going
  duringWait.setInterval(10);
  QObject::connect(&duringWait, &QTimer::timeout, [&] {
    window->RequestPaintRescan();
    QApplication::processEvents();
    seenDuringWait.push_back(combo->itemText(0));
  });
  duringWait.start();
  Press(id::kSearch);
  duringWait.stop();
  ASSERT_FALSE(seenDuringWait.empty());
  for (const QString& seen : seenDuringWait) ASSERT_EQ(seen, QStringLiteral("D:"));
  QApplication::processEvents();
  EXPECT_EQ(combo->itemText(0), QStringLiteral("D: \\\\x\\y"));
}

TEST_F(MainWindowLabTest, StaticAddressInputIsCheckedBeforeAnythingIsSent) {
  MessageLog messages;
  Select("192.168.50.23");
  const auto expectOnly = [&](std::string_view text, const char* caption, MessageIcon icon) {
    ASSERT_EQ(messages.shown().size(), 1u) << text;
    EXPECT_EQ(messages.shown()[0].text, text);
    EXPECT_EQ(messages.shown()[0].caption, caption);
    EXPECT_EQ(messages.shown()[0].icon, icon);
    messages.clear();
  };

  Address(id::kIpAddress)->ClearAddress();
  Press(id::kModifyLan);
  expectOnly(operations::text::kInputIpAddress, "Warning", MessageIcon::kWarning);

  EnterAddresses("192.168.50.33", "255.255.255.0", "192.168.50.1");
  Address(id::kNetmask)->ClearAddress();
  Press(id::kModifyLan);
  expectOnly(operations::text::kInputNetmask, "Warning", MessageIcon::kWarning);

  EnterAddresses("192.168.50.33", "255.255.255.0", "192.168.50.1");
  Address(id::kGateway)->ClearAddress();
  Press(id::kModifyLan);
  expectOnly(operations::text::kInputGateway, "Warning", MessageIcon::kWarning);

  EnterAddresses("192.168.50.255", "255.255.255.0", "192.168.50.1");
  Press(id::kModifyLan);
  expectOnly("Invalid IP address in 4th digit. It should be 1-254.", "Error",
             MessageIcon::kInformation);
  EXPECT_EQ(window->focusWidget(), Address(id::kIpAddress)->Field(3));

  // Three fields filled: the empty one reads as 0.
  EnterAddresses("192.168.50.33", "255.255.255.0", "192.168.50.1");
  Address(id::kIpAddress)->Field(3)->clear();
  Press(id::kModifyLan);
  expectOnly("Invalid IP address in 4th digit. It should be 1-254.", "Error",
             MessageIcon::kInformation);

  EnterAddresses("192.168.50.33", "255.255.255.0", "192.168.50.255");
  Press(id::kModifyLan);
  expectOnly("Invalid gateway IP address in 4th digit. It should be 1-254.", "Error",
             MessageIcon::kInformation);
  EXPECT_EQ(window->focusWidget(), Address(id::kGateway)->Field(3));

  EnterAddresses("192.168.50.33", "255.255.255.0", "192.168.51.1");
  Press(id::kModifyLan);
  expectOnly(operations::text::kGatewayInputError, "Warning", MessageIcon::kWarning);

  EXPECT_EQ(DeviceState("nas3")["address"].toString(), QStringLiteral("192.168.50.23"));
  EXPECT_TRUE(window->DeviceSelected());
}

TEST_F(MainWindowLabTest, StaticAddressWithTheDefaultPasswordChangesTheDeviceAndSearchesAgain) {
  MessageLog messages;
  ModalWatcher watcher;  // no Login dialog may appear
  Select("192.168.50.21");
  EnterAddresses("192.168.50.31", "255.255.255.0", "192.168.50.1");
  Press(id::kModifyLan);
  EXPECT_TRUE(messages.shown().empty());
  EXPECT_EQ(watcher.Handled(), 0);
  EXPECT_EQ(DeviceState("nas1")["address"].toString(), QStringLiteral("192.168.50.31"));
  EXPECT_TRUE(Contains(ListedAddresses(), "192.168.50.31"));
  EXPECT_FALSE(Contains(ListedAddresses(), "192.168.50.21"));
  EXPECT_FALSE(window->DeviceSelected());
  EXPECT_TRUE(Address(id::kIpAddress)->IsBlank());
  EXPECT_TRUE(Item<QLineEdit>(id::kHostName)->text().isEmpty());
}

TEST_F(MainWindowLabTest, DhcpWithTheDefaultPasswordConfirmsAndListsTheNewAddress) {
  MessageLog messages;
  Select("192.168.50.25");
  ChooseDhcp(true);
  Press(id::kModifyLan);
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].text, operations::text::kDhcpDone);
  EXPECT_EQ(messages.shown()[0].caption, "Confirm");
  EXPECT_EQ(messages.shown()[0].icon, MessageIcon::kInformation);
  EXPECT_TRUE(DeviceState("nas5")["dhcp"].toBool());
  EXPECT_TRUE(Contains(ListedAddresses(), "192.168.50.125"));
  EXPECT_FALSE(window->DeviceSelected());
  EXPECT_TRUE(Address(id::kIpAddress)->isEnabled());
  EXPECT_TRUE(Address(id::kIpAddress)->IsBlank());
}

TEST_F(MainWindowLabTest, HostNameAndWorkgroupAreCheckedSentAndSearchedAgain) {
  MessageLog messages;
  Select("192.168.60.22");
  QLineEdit* hostName = Item<QLineEdit>(id::kHostName);
  QLineEdit* workgroup = Item<QLineEdit>(id::kWorkgroup);
  const auto refusal = [&](const QString& host, const QString& group) {
    messages.clear();
    hostName->setText(host);
    workgroup->setText(group);
    Press(id::kModifyNames);
    EXPECT_EQ(messages.shown().size(), 1u) << host.toStdString();
    if (messages.shown().empty()) return std::string();
    EXPECT_EQ(messages.shown()[0].caption, "Error");
    EXPECT_EQ(messages.shown()[0].icon, MessageIcon::kError);
    return messages.shown()[0].text;
  };

  EXPECT_EQ(refusal("", "OFFICE"), operations::text::kHostNameEmpty);
  EXPECT_EQ(window->focusWidget(), hostName);
  EXPECT_EQ(refusal("BIRCH 2", "OFFICE"), *operations::CheckHostName(","));
  EXPECT_EQ(refusal("BIRCH's", "OFFICE"), *operations::CheckHostName("'"));
  EXPECT_NE(*operations::CheckHostName(","), *operations::CheckHostName("'"));
  EXPECT_EQ(refusal("BIRCH(2)", "OFFICE"), *operations::CheckHostName(","));
  EXPECT_EQ(DeviceState("nas2")["name"].toString(), QStringLiteral("NAS-BIRCH"));

  // The host name goes out before the workgroup is looked at.
  workgroup->setFocus();
  EXPECT_EQ(refusal("BIRCH-2", ""), operations::text::kWorkgroupEmpty);
  EXPECT_EQ(window->focusWidget(), workgroup);
  EXPECT_EQ(refusal("BIRCH-3", "MY.GROUP"), *operations::CheckWorkgroup("."));
  EXPECT_EQ(window->focusWidget(), workgroup);
  const QJsonObject half = DeviceState("nas2");
  EXPECT_EQ(half["name"].toString(), QStringLiteral("BIRCH-3"));
  EXPECT_EQ(half["workgroup"].toString(), QStringLiteral("OFFICE"));
  EXPECT_TRUE(window->DeviceSelected());

  messages.clear();
  hostName->setText("BIRCH_4");
  workgroup->setText("SALES(2)&@");
  Press(id::kModifyNames);
  EXPECT_TRUE(messages.shown().empty());
  const QJsonObject changed = DeviceState("nas2");
  EXPECT_EQ(changed["name"].toString(), QStringLiteral("BIRCH_4"));
  EXPECT_EQ(changed["workgroup"].toString(), QStringLiteral("SALES(2)&@"));
  EXPECT_FALSE(window->DeviceSelected());
  EXPECT_TRUE(hostName->text().isEmpty());
  const int row = test::FindRow(Devices(), 0, "BIRCH_4");
  ASSERT_GE(row, 0);
  EXPECT_EQ(Devices()->topLevelItem(row)->text(kAddressColumn), QStringLiteral("192.168.60.22"));
}

// A device that sends every reply twice (to the group and straight to the PC) and has a
// password of its own: the late copies must neither prove nor refuse the password.
TEST_F(MainWindowLabTest, ADeviceAnsweringTwiceStillNeedsItsOwnPassword) {
  MessageLog messages;
  ModalWatcher watcher;
  Select("192.168.50.28");
  ChooseDhcp(true);
  watcher.Expect(test::AnswerLogin("not-it"));
  Press(id::kModifyLan);
  EXPECT_EQ(messages.texts(),
            std::vector<std::string>{std::string(operations::text::kWrongAdminPassword)});
  EXPECT_FALSE(DeviceState("nas8")["dhcp"].toBool());

  messages.clear();
  watcher.Expect(test::AnswerLogin("hazel-secret"));
  Press(id::kModifyLan);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{std::string(operations::text::kDhcpDone)});
  EXPECT_EQ(watcher.Handled(), 2);
  EXPECT_TRUE(DeviceState("nas8")["dhcp"].toBool());
}

}  // namespace
}  // namespace corvane::app
