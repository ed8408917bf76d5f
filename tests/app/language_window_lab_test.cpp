// SPDX-License-Identifier: GPL-3.0-or-later
// "Set language" in the window against the devices of tests/language/lab/language.json, with
// real Samba shares: the checks that turn a device away, the preselection, the ways out that
// change nothing, and whole installations that succeed or fail.

#include <QKeyEvent>

#include "app/language_dialog.h"
#include "dialogs/look.h"
#include "dialogs/restart_dialog.h"
#include "lab_window_fixture.h"
#include "operations/codepage_install.h"
#include "platform/testing/fake_web_browser.h"
#include "support/share_lab.h"

namespace corvane::app {
namespace {

using namespace std::chrono_literals;
using corvane::testing::ClickButton;
using corvane::testing::ModalWatcher;
using dialogs::MessageIcon;
using test::DeviceState;
using test::MessageLog;

constexpr char kCedar[] = "192.168.50.31";    // HDD_a, codepage 932
constexpr char kDogwood[] = "192.168.50.32";  // HDD_1
constexpr char kElm[] = "192.168.50.33";      // HDD_a without its folder
constexpr char kKauri[] = "192.168.50.39";    // does not answer the codepage read

class LanguageWindowTest : public test::MainWindowLabTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lab::InDesktopSession()) << "run inside tools/lab/session.sh";
    MainWindowLabTest::SetUp();
    // The restart wait runs its steps and closes at once; its 90 s stay the program's.
    window->UseWebBrowser(browser);
    window->SetLanguageServices(*files, dialogs::RestartTiming{1ms, 5, 200ms});
  }

  std::unique_ptr<platform::SmbFiles> files = platform::MakeSmbFiles();
  platform::testing::FakeWebBrowser browser;
};

app::CLanguageDlg* AsLanguageDialog(QWidget* modal) {
  auto* dialog = qobject_cast<app::CLanguageDlg*>(modal);
  EXPECT_NE(dialog, nullptr) << "not the Language dialog: " << modal->windowTitle().toStdString();
  return dialog;
}

// Chooses a language in the Language dialog and presses OK.
ModalWatcher::Action Choose(const QString& language) {
  return [language](QWidget* modal) {
    app::CLanguageDlg* dialog = AsLanguageDialog(modal);
    if (dialog == nullptr) return;
    dialog->LanguageCombo()->setCurrentText(language);
    ClickButton(modal, "OK");
  };
}

// The Loading dialog cannot be closed by the user while it waits for its installer.
void CheckLoadingDialog(QWidget* modal) {
  EXPECT_TRUE(modal->windowTitle().trimmed().isEmpty());
  EXPECT_FALSE(modal->windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_TRUE(modal->findChildren<QPushButton*>().isEmpty());
  for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
    QTest::keyClick(modal, key);
  }
  QCloseEvent close;
  QCoreApplication::sendEvent(modal, &close);
  EXPECT_TRUE(modal->isVisible()) << "the Loading dialog closed on the user's request";
}

TEST_F(LanguageWindowTest, WithoutASelectedDeviceNothingIsAsked) {
  MessageLog messages;
  Press(id::kSetLanguage);
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0],
            (dialogs::ShownMessage{std::string(operations::text::kSelectDevice), "Error",
                                   MessageIcon::kError}));
}

TEST_F(LanguageWindowTest, ADiskThatIsNotReadyTurnsTheDeviceAwayWithoutTheDialog) {
  struct Case {
    const char* address;
    std::string_view message;
  };
  for (const Case& c : {Case{"192.168.50.36", operations::text::kNoHardDrives},
                        Case{"192.168.50.37", operations::text::kFormatHardDrive},
                        Case{"192.168.50.38", operations::text::kLanguagesNotSupported},
                        Case{"192.168.50.40", operations::text::kLanguagesNotSupported}}) {
    SCOPED_TRACE(c.address);
    Select(c.address);
    MessageLog messages;
    ModalWatcher watcher;  // any dialog shown would be left open and fail the test
    Press(id::kSetLanguage);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, c.message);
    EXPECT_EQ(messages.shown()[0].caption, dialogs::ApplicationTitle().toStdString());
    EXPECT_EQ(messages.shown()[0].icon, MessageIcon::kNone);
    EXPECT_TRUE(watcher.SeenTitles().empty());
    EXPECT_EQ(window->LastLanguageResult(), -1);
    EXPECT_TRUE(window->DeviceSelected()) << "the window was refreshed";
  }
  EXPECT_EQ(browser.Starts(), std::vector<std::string>{"opener http://192.168.50.37"});
}

TEST_F(LanguageWindowTest, PreselectsTheDevicesLanguageAndEveryWayOutChangesNothing) {
  struct Case {
    const char* address;
    const char* codepage;  // set on the device first, when given
    QString selected;
    std::function<void(QWidget*)> leave;
  };
  const std::vector<Case> cases = {
      {kCedar, nullptr, "Japanese SJIS", [](QWidget* m) { ClickButton(m, "Cancel"); }},
      {kCedar, "437", "Western European", [](QWidget* m) { QTest::keyClick(m, Qt::Key_Escape); }},
      {kKauri, nullptr, "Western European", [](QWidget* m) { m->close(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.address) + " " + c.selected.toStdString());
    Select(c.address);
    if (c.codepage != nullptr) {
      session.CodepageText.Set(c.codepage);
      ASSERT_EQ(session.SetCodepage(), 1);
    }
    const QString hostName = Item<QLineEdit>(id::kHostName)->text();
    ModalWatcher watcher;
    watcher.Expect([&c](QWidget* modal) {
      app::CLanguageDlg* dialog = AsLanguageDialog(modal);
      if (dialog == nullptr) return;
      EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Language"));
      EXPECT_EQ(dialog->LanguageCombo()->count(), 6);
      EXPECT_EQ(dialog->LanguageCombo()->currentText(), c.selected);
      c.leave(modal);
    });
    Press(id::kSetLanguage);
    EXPECT_TRUE(watcher.AllDone());
    EXPECT_EQ(window->LastLanguageResult(), -1);
    EXPECT_TRUE(window->DeviceSelected());
    EXPECT_EQ(Item<QLineEdit>(id::kHostName)->text(), hostName);
  }
}

TEST_F(LanguageWindowTest, ACompletedInstallationWaitsForTheRestartAndSearchesAgain) {
  Select(kDogwood);
  MessageLog messages;
  ModalWatcher watcher(10s);
  watcher.Expect(Choose("Cyrillic"));
  watcher.Expect([this](QWidget* modal) {
    CheckLoadingDialog(modal);
    drives.Connect('P', "\\\\nas-dogwood\\HDD_1");  // made elsewhere meanwhile
  });
  watcher.Expect([](QWidget* modal) {
    EXPECT_NE(qobject_cast<dialogs::CRestartDlg*>(modal), nullptr) << "not the restart wait";
  });
  Press(id::kSetLanguage);
  EXPECT_TRUE(watcher.AllDone());
  EXPECT_TRUE(messages.shown().empty());
  EXPECT_EQ(window->LastLanguageResult(), 0);
  const std::string folder = lab::ShareFolder("dogwood", "HDD_1") + "/.systemfile/.codepages";
  EXPECT_EQ(lab::ReadWholeFile(folder + "/unicode_map.KOI8-R").size(), 131614u);
  EXPECT_EQ(DeviceState("dogwood")["codepage"].toString(), QStringLiteral("866"));
  EXPECT_EQ(DeviceState("dogwood")["rw"].toString(), QStringLiteral("rw"));
  // Refreshed: drive letters read again, devices searched again, nothing selected.
  EXPECT_EQ(Item<QComboBox>(id::kDrive)->itemText(12), QStringLiteral("P: \\\\nas-dogwood\\HDD_1"));
  EXPECT_FALSE(window->DeviceSelected());
  EXPECT_TRUE(Item<QLineEdit>(id::kHostName)->text().isEmpty());
  EXPECT_TRUE(test::Contains(ListedAddresses(), kDogwood));
}

TEST_F(LanguageWindowTest, AFailedInstallationSaysSoAndOffersTheDialogAgain) {
  Select(kElm);
  const auto diskReads = [] {
    int reads = 0;
    for (const lab::LoggedDatagram& datagram : lab::DeviceLog("elm")) {
      reads += datagram.hex.rfind("03", 0) == 0 && datagram.hex.substr(42, 2) == "0b";
    }
    return reads;
  };
  const int readsBefore = diskReads();
  MessageLog messages;
  ModalWatcher watcher(10s);
  watcher.Expect(Choose("Western European"));
  watcher.Expect([](QWidget*) {});  // the Loading dialog, which closes itself
  watcher.Expect([](QWidget* modal) {
    if (AsLanguageDialog(modal) != nullptr) ClickButton(modal, "Cancel");
  });
  Press(id::kSetLanguage);
  EXPECT_TRUE(watcher.AllDone());
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].text, operations::text::kCheckHardDrives);
  EXPECT_EQ(messages.shown()[0].icon, MessageIcon::kNone);
  EXPECT_EQ(diskReads() - readsBefore, 2) << "the second dialog asks the device again";
  EXPECT_EQ(DeviceState("elm")["stop"].toString(), QStringLiteral("stop"));
  EXPECT_EQ(window->LastLanguageResult(), -1);
  EXPECT_TRUE(window->DeviceSelected());
}

}  // namespace
}  // namespace corvane::app
