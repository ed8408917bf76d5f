// SPDX-License-Identifier: GPL-3.0-or-later
// Mount, Unmount and "Connect to webpage" of the main window, over drive letters, a browser and
// a reachability test that the test sets; the device and its shares are put into the lists as a
// click would have shown them.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeWidget>
#include <memory>

#include "app/main_dlg.h"
#include "app/main_dlg_template.h"
#include "dialogs/map_type_dialog.h"
#include "platform/testing/fake_drive_mappings.h"
#include "platform/testing/fake_web_browser.h"
#include "support/modal_watcher.h"
#include "window_test_support.h"

namespace corvane::app {
namespace {

using corvane::testing::ClickButton;
using corvane::testing::ModalWatcher;
using dialogs::MessageIcon;
using dialogs::ShownMessage;
using platform::DriveResult;
using platform::testing::FakeDriveMappings;
using platform::testing::FakeWebBrowser;

constexpr char kUnmountFailed[] =
    "Unmount Disk Fail!\nPlease checked if you had selected a drive to un-mount,\nor any file "
    "opened on selected drive that did not close.";

// Answers the Mapping Type dialog, by the address or by the preselected host name.
ModalWatcher::Action ChooseMapType(bool byAddress) {
  return [byAddress](QWidget* modal) {
    auto* dialog = static_cast<dialogs::CMapTypeDlg*>(modal);
    EXPECT_EQ(dialog->windowTitle(), "Mapping Type");
    EXPECT_TRUE(dialog->HostNameButton()->isChecked());
    if (byAddress) dialog->AddressButton()->click();
    ClickButton(modal, "OK");
  };
}

class MainWindowSharesTest : public ::testing::Test {
 protected:
  MainWindowSharesTest() {
    test::UseProgramLook();
    session.OpenTransport({});  // no interface: a search after a failure lists nothing
    session.ShareList.AddShare("HDD_a");
    session.ShareList.AddShare("public");
    window = std::make_unique<CMainDlg>(session, drives);
    window->UseWebBrowser(browser);
    window->UseReachabilityTest([this](const std::string&, auto) { return reachable; });
    window->InitDialog();
    window->RunFirstSearch();
    // The device as a click shows it: its row selected, its shares listed with their drives.
    session.DeviceTable.AddDevice("NAS-ALDER", "192.168.50.21", "", "", "0", {}, 0);
    window->ListDeviceTable();
    dialogs::FindControl<QTreeWidget>(window.get(), id::kDeviceList)
        ->topLevelItem(0)
        ->setSelected(true);
    window->RefreshShareList(true);
  }

  QTreeWidget* Shares() { return dialogs::FindControl<QTreeWidget>(window.get(), id::kShareList); }
  QComboBox* DriveCombo() { return dialogs::FindControl<QComboBox>(window.get(), id::kDrive); }
  void SelectShare(const char* name) {
    Shares()->clearSelection();
    if (name != nullptr) {
      Shares()->topLevelItem(test::FindRow(Shares(), 0, name))->setSelected(true);
    }
  }
  QString ConnectTo(const char* share) {
    return Shares()->topLevelItem(test::FindRow(Shares(), 0, share))->text(1);
  }

  protocol::Session session;
  FakeDriveMappings drives;
  FakeWebBrowser browser;
  bool reachable = true;
  std::unique_ptr<CMainDlg> window;
  test::MessageLog messages;
  ModalWatcher watcher;
};

TEST_F(MainWindowSharesTest, MountMapsByAddressOrNameAndShowsTheLetter) {
  SelectShare("HDD_a");
  ASSERT_EQ(DriveCombo()->currentText(), "D:");
  watcher.Expect(ChooseMapType(true));
  window->OnMount();
  EXPECT_EQ(drives.GetConnection('D'), "\\\\192.168.50.21\\HDD_a");
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0],
            (ShownMessage{"Successfully mapped drive.", "Confirm", MessageIcon::kInformation}));
  EXPECT_EQ(ConnectTo("HDD_a"), "D:");
  EXPECT_EQ(DriveCombo()->itemText(0), "D: \\\\192.168.50.21\\HDD_a");
  EXPECT_EQ(DriveCombo()->currentText(), "E:");

  // By name, onto a letter that is taken: its connection goes first.
  SelectShare("public");
  DriveCombo()->setCurrentIndex(0);
  watcher.Expect(ChooseMapType(false));
  window->OnMount();
  EXPECT_EQ(drives.GetConnection('D'), "\\\\NAS-ALDER\\public");
  EXPECT_EQ(drives.CancelCalls().size(), 2u);
  EXPECT_EQ(ConnectTo("public"), "D:");
  EXPECT_EQ(ConnectTo("HDD_a"), "");
  EXPECT_TRUE(watcher.AllDone());
}

TEST_F(MainWindowSharesTest, AShareThatRefusesGuestsGetsTheLoginInShareModeAfterSixAttempts) {
  drives.QueueAddResults(std::vector<DriveResult>(7, DriveResult::kLoginNeeded));
  SelectShare("HDD_a");
  watcher.Expect(ChooseMapType(true));
  watcher.Expect([](QWidget* modal) {
    auto* user = dialogs::FindControl<QLineEdit>(modal, 1016);
    EXPECT_TRUE(user->isEnabled());
    user->setText("labuser");
    ClickButton(modal, "OK");
  });
  window->OnMount();
  EXPECT_TRUE(watcher.AllDone());
  ASSERT_EQ(drives.AddCalls().size(), 7u);
  EXPECT_EQ(drives.AddCalls()[5].user, "");
  EXPECT_EQ(drives.AddCalls()[6].user, "labuser");
  EXPECT_EQ(messages.shown(),
            (std::vector<ShownMessage>{{"Failed to map drive.", "Error", MessageIcon::kError}}));
}

TEST_F(MainWindowSharesTest, MountStopsWithAWarningQuietlyOrWhenTheDeviceIsGone) {
  window->OnMount();  // no share selected
  SelectShare("HDD_a");
  watcher.Expect([](QWidget* modal) { ClickButton(modal, "Cancel"); });
  window->OnMount();
  reachable = false;
  watcher.Expect(ChooseMapType(true));
  window->OnMount();
  EXPECT_TRUE(watcher.AllDone());
  EXPECT_TRUE(drives.AddCalls().empty());
  EXPECT_FALSE(window->DeviceSelected());
  EXPECT_EQ(dialogs::FindControl<QTreeWidget>(window.get(), id::kDeviceList)->topLevelItemCount(),
            0);
  EXPECT_EQ(
      messages.shown(),
      (std::vector<ShownMessage>{
          {"You should select a samba server disk to mount!", "Warning", MessageIcon::kWarning},
          {"Device is no longer available.", "Warning", MessageIcon::kWarning}}));
}

TEST_F(MainWindowSharesTest, UnmountTakesTheSharesDriveOrTheCombosAndRefusesOpenFiles) {
  drives.Connect('Y', "\\\\NAS-ALDER\\HDD_a");
  drives.Connect('Z', "\\\\192.168.50.21\\public");
  window->OnPaint();
  SelectShare("HDD_a");
  ASSERT_EQ(ConnectTo("HDD_a"), "Y:");
  drives.SetFilesOpen('Y', true);
  window->OnUnmount();
  EXPECT_EQ(drives.GetConnection('Y'), "\\\\NAS-ALDER\\HDD_a");
  drives.SetFilesOpen('Y', false);
  window->OnUnmount();
  EXPECT_EQ(drives.GetConnection('Y'), std::nullopt);
  EXPECT_EQ(ConnectTo("HDD_a"), "");
  window->OnUnmount();  // the share's drive is empty now

  SelectShare(nullptr);
  DriveCombo()->setCurrentIndex(DriveCombo()->findText("Z: \\\\192.168.50.21\\public"));
  window->OnUnmount();
  EXPECT_EQ(drives.GetConnection('Z'), std::nullopt);
  EXPECT_EQ(messages.texts(), (std::vector<std::string>{kUnmountFailed, "Unmount Disk OK!",
                                                        kUnmountFailed, "Unmount Disk OK!"}));
  EXPECT_EQ(messages.shown()[0].caption, "Error");
  EXPECT_EQ(messages.shown()[1].icon, MessageIcon::kInformation);
}

TEST_F(MainWindowSharesTest, WebPageNeedsASelectionAndAnAnsweringDevice) {
  window->OnConnectWebPage();
  EXPECT_EQ(browser.Starts(), (std::vector<std::string>{"browser http://192.168.50.21"}));
  reachable = false;
  window->OnConnectWebPage();
  EXPECT_EQ(browser.Starts().size(), 1u);
  window->OnConnectWebPage();  // the failed check emptied the list
  EXPECT_EQ(messages.shown(),
            (std::vector<ShownMessage>{
                {"Device is no longer available.", "Warning", MessageIcon::kWarning},
                {"You should select a sever to connect.", "Warning", MessageIcon::kWarning}}));
}

}  // namespace
}  // namespace corvane::app
