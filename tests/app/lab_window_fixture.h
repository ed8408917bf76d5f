// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A main window on the lab's network, shown offscreen, with helpers to act as its user.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <memory>

#include "app/main_dlg.h"
#include "app/main_dlg_template.h"
#include "dialogs/ip_address_edit.h"
#include "platform/testing/fake_drive_mappings.h"
#include "support/lab_support.h"
#include "support/modal_watcher.h"
#include "window_test_support.h"

namespace corvane::app::test {

constexpr int kAddressColumn = 1;

inline QJsonObject DeviceState(const char* deviceId) {
  QFile file(qEnvironmentVariable("CORVANE_LAB_DIR") + "/devices/" + deviceId + ".state.json");
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QJsonDocument::fromJson(file.readAll()).object();
}

inline bool Contains(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// Types a password into the Login dialog and confirms it.
inline corvane::testing::ModalWatcher::Action AnswerLogin(const QString& password) {
  return [password](QWidget* modal) {
    for (QLineEdit* edit : modal->findChildren<QLineEdit*>()) {
      if (edit->echoMode() == QLineEdit::Password) edit->setText(password);
    }
    corvane::testing::ClickButton(modal, "OK");
  };
}

class MainWindowLabTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("CORVANE_LAB_DIR")) << "run inside the lab";
    UseProgramLook();
    session.OpenTransport();
    ASSERT_TRUE(session.TransportProblems().empty());
    window = std::make_unique<CMainDlg>(session, drives);
    window->InitDialog();
    window->RunFirstSearch();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }
  // Every test finds the lab as configured, whatever the one before changed or left behind.
  void TearDown() override { EXPECT_TRUE(lab::ResetDevices()); }

  template <typename T>
  T* Item(int controlId) {
    return dialogs::FindControl<T>(window.get(), controlId);
  }
  QTreeWidget* Devices() { return Item<QTreeWidget>(id::kDeviceList); }
  dialogs::IpAddressEdit* Address(int controlId) { return Item<dialogs::IpAddressEdit>(controlId); }
  std::vector<std::string> ListedAddresses() { return ColumnTexts(Devices(), kAddressColumn); }

  void Select(const char* address) {
    const int row = FindRow(Devices(), kAddressColumn, QString::fromUtf8(address));
    ASSERT_GE(row, 0) << address << " is not listed";
    ClickRow(Devices(), row);
    ASSERT_EQ(session.SelectedAddress.view(), address);
  }
  void EnterAddresses(const char* address, const char* netmask, const char* gateway) {
    Address(id::kIpAddress)->SetAddress(*protocol::ParseAddress(address));
    Address(id::kNetmask)->SetAddress(*protocol::ParseAddress(netmask));
    Address(id::kGateway)->SetAddress(*protocol::ParseAddress(gateway));
  }
  void ChooseDhcp(bool enabled) {
    auto* combo = Item<QComboBox>(id::kDhcp);
    combo->setCurrentIndex(enabled ? 1 : 0);
    window->OnDhcpSelChange();
  }
  void Press(int buttonId) { QTest::mouseClick(Item<QPushButton>(buttonId), Qt::LeftButton); }
  std::vector<std::string> ShareNames() {
    return ColumnTexts(Item<QTreeWidget>(id::kShareList), 0);
  }
  bool SubnetButtonsEnabled(bool expected) {
    for (int buttonId : {id::kMount, id::kUnmount, id::kWebPage, id::kSetLanguage}) {
      if (dialogs::FindControl(window.get(), buttonId)->isEnabled() != expected) return false;
    }
    return true;
  }

  protocol::Session session;
  platform::testing::FakeDriveMappings drives;
  std::unique_ptr<CMainDlg> window;
};

}  // namespace corvane::app::test
