// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window_interaction.h"

#include <QLineEdit>

#include "app/device_text.h"
#include "app/network_wait.h"
#include "dialogs/busy_wait.h"
#include "dialogs/login_dialog.h"
#include "dialogs/map_type_dialog.h"
#include "operations/credentials.h"

namespace corvane::app {

namespace {

constexpr int kAdminLoginMode = 1;
constexpr int kShareLoginMode = 0;
constexpr int kMapByHostName = 1;

}  // namespace

std::optional<platform::Credentials> CMainDlg::WindowInteraction::AskAdministratorCredentials() {
  dialogs::CLoginDlg login(kAdminLoginMode, &dialog_);
  login.DoModal();
  if (std::optional<platform::Credentials> typed = login.TakeAnswer()) return typed;
  // Cancel keeps the preset pair, and that is tried once more too.
  return platform::Credentials{platform::SecretText(operations::kDefaultAdminUser),
                               platform::SecretText(operations::kDefaultAdminPassword)};
}

void CMainDlg::WindowInteraction::Blocking(const std::function<void()>& exchange) {
  NetworkWait wait(dialog_);
  exchange();
}

void CMainDlg::WindowInteraction::Wait(std::chrono::milliseconds duration) {
  NetworkWait wait(dialog_);
  dialogs::SleepPumping(duration);
}

void CMainDlg::WindowInteraction::WaitUntil(const std::function<bool()>& done,
                                            std::chrono::milliseconds bound) {
  NetworkWait wait(dialog_);
  dialogs::WaitPumping(done, bound);
}

operations::MapType CMainDlg::WindowInteraction::ChooseMapType() {
  dialog_.MapType = kMapByHostName;
  dialogs::CMapTypeDlg mapType(dialog_.MapType, &dialog_);
  mapType.DoModal();
  return static_cast<operations::MapType>(dialog_.MapType);
}

std::optional<platform::Credentials> CMainDlg::WindowInteraction::AskShareCredentials(
    std::string_view /*remote*/) {
  dialogs::CLoginDlg login(kShareLoginMode, &dialog_);
  login.DoModal();
  return login.TakeAnswer();
}

void CMainDlg::WindowInteraction::WorkgroupRead(std::string_view workgroup) {
  SetEditText(dialog_.m_editWorkgroup, FromDeviceText(workgroup));
  RememberDeviceBytes(dialog_.m_editWorkgroup, workgroup);
}

}  // namespace corvane::app
