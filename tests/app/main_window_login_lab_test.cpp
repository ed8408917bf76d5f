// SPDX-License-Identifier: GPL-3.0-or-later
// The Login dialog as the second step of proving the administrator password, against simulated
// devices with passwords of their own; and start-up when the device port is taken.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "app/main_app.h"
#include "dialogs/login_dialog.h"
#include "lab_window_fixture.h"

namespace corvane::app {
namespace {

using corvane::testing::ModalWatcher;
using dialogs::MessageIcon;
using test::AnswerLogin;
using test::Contains;
using test::DeviceState;
using test::MainWindowLabTest;
using test::MessageLog;

// The Login dialog in administrator mode: user name fixed to "admin", a password to type.
ModalWatcher::Action AnswerAdminLogin(const QString& password) {
  return [password](QWidget* modal) {
    auto* login = qobject_cast<dialogs::CLoginDlg*>(modal);
    ASSERT_NE(login, nullptr) << "not the Login dialog";
    EXPECT_EQ(login->UserNameEdit()->text(), QStringLiteral("admin"));
    EXPECT_FALSE(login->UserNameEdit()->isEnabled() && !login->UserNameEdit()->isReadOnly());
    AnswerLogin(password)(modal);
  };
}

TEST_F(MainWindowLabTest, ADeviceWithItsOwnPasswordAsksForItOnceAndRefusesAWrongOne) {
  MessageLog messages;
  ModalWatcher watcher;
  Select("192.168.50.40");

  // Static path, the Login dialog cancelled: the default pair is tried once more and refused.
  EnterAddresses("192.168.50.48", "255.255.255.0", "192.168.50.1");
  watcher.Expect([](QWidget* modal) { corvane::testing::RejectModal(modal); });
  Press(id::kModifyLan);
  EXPECT_EQ(watcher.Handled(), 1);
  EXPECT_EQ(messages.texts(),
            std::vector<std::string>{std::string(operations::text::kWrongAdminPassword)});
  messages.clear();

  // DHCP path, a wrong password typed.
  ChooseDhcp(true);
  watcher.Expect(AnswerAdminLogin("not-it"));
  Press(id::kModifyLan);
  EXPECT_EQ(watcher.Handled(), 2);
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].text, operations::text::kWrongAdminPassword);
  EXPECT_EQ(messages.shown()[0].caption, "Error");
  EXPECT_EQ(messages.shown()[0].icon, MessageIcon::kError);
  messages.clear();
  const QJsonObject unchanged = DeviceState("guarded");
  EXPECT_EQ(unchanged["address"].toString(), QStringLiteral("192.168.50.40"));
  EXPECT_FALSE(unchanged["dhcp"].toBool());
  EXPECT_TRUE(window->DeviceSelected());

  // The right one.
  watcher.Expect(AnswerAdminLogin("guarded-pw"));
  Press(id::kModifyLan);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{std::string(operations::text::kDhcpDone)});
  EXPECT_EQ(watcher.Handled(), 3);
  EXPECT_TRUE(watcher.AllDone());
  EXPECT_TRUE(DeviceState("guarded")["dhcp"].toBool());
  EXPECT_TRUE(Contains(ListedAddresses(), "192.168.50.140"));
  EXPECT_FALSE(window->DeviceSelected());
}

TEST_F(MainWindowLabTest, StaticAddressWithATypedPasswordChangesTheDevice) {
  MessageLog messages;
  ModalWatcher watcher;
  Select("192.168.50.41");
  EnterAddresses("192.168.50.51", "255.255.0.0", "192.168.7.1");
  watcher.Expect(AnswerAdminLogin("keeper-pw"));
  Press(id::kModifyLan);
  EXPECT_EQ(watcher.Handled(), 1);
  EXPECT_TRUE(messages.shown().empty());
  const QJsonObject changed = DeviceState("keeper");
  EXPECT_EQ(changed["address"].toString(), QStringLiteral("192.168.50.51"));
  EXPECT_EQ(changed["netmask"].toString(), QStringLiteral("255.255.0.0"));
  EXPECT_EQ(changed["gateway"].toString(), QStringLiteral("192.168.7.1"));
  EXPECT_TRUE(Contains(ListedAddresses(), "192.168.50.51"));
}

// Another program holding the device port on the PC's interface: the user hears of it before
// the window opens, instead of looking at an empty search.
TEST(StartUpLabTest, APortHeldByAnotherProgramIsReportedBeforeTheWindowOpens) {
  test::UseProgramLook();
  const int holder = ::socket(AF_INET, SOCK_DGRAM, 0);
  ASSERT_GE(holder, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(protocol::kDevicePort);
  ::inet_pton(AF_INET, "192.168.50.10", &address.sin_addr);
  ASSERT_EQ(::bind(holder, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);

  MessageLog messages;
  ModalWatcher watcher;
  std::size_t messagesBeforeWindow = 0;
  watcher.Expect([&](QWidget* modal) {
    messagesBeforeWindow = messages.shown().size();
    EXPECT_NE(qobject_cast<CMainDlg*>(modal), nullptr);
    corvane::testing::RejectModal(modal);
  });
  CMainApp program(*qApp);
  EXPECT_FALSE(program.InitInstance());
  ::close(holder);

  EXPECT_TRUE(watcher.AllDone());
  ASSERT_EQ(messagesBeforeWindow, 1u);
  EXPECT_EQ(messages.shown()[0].caption, "Error");
  EXPECT_EQ(messages.shown()[0].icon, MessageIcon::kError);
  EXPECT_NE(messages.shown()[0].text.find("13579"), std::string::npos) << messages.shown()[0].text;
}

}  // namespace
}  // namespace corvane::app
