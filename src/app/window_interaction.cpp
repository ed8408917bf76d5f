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

}  // namespace

std::optional<platform::Credentials> CMainDlg::WindowInteraction::AskAdministratorCredentials() {
  dialogs::CLoginDlg login(kAdminLoginMode, &dialog_);
  login.DoModal();
  if (std::optional<platform::Credentials> typed = login.TakeAnswer()) return typed;
  // Cancel keeps the preset pair, and that is tried once more too.
  return platform::Credentials{platform::SecretText(operations::kDefaultAdminUser),
                               platform::SecretText(operations::kDefaultAdminPassword)};
}

void CMainDlg::WindowInteraction::WaitUntil(const std::function<bool()>& done) {
  NetworkWait wait(dialog_);
  dialogs::WaitPumping(done);
}

operations::MapType CMainDlg::WindowInteraction::ChooseMapType() {
  dialogs::CMapTypeDlg mapType(&dialog_);
  mapType.DoModal();
  return mapType.Answer();
}

std::optional<platform::Credentials> CMainDlg::WindowInteraction::AskShareCredentials(
    std::string_view /*remote*/) {
  dialogs::CLoginDlg login(kShareLoginMode, &dialog_);
  login.DoModal();
  return login.TakeAnswer();
}

void CMainDlg::WindowInteraction::Report(const operations::Progress& progress) {
  if (progress.kind != operations::Progress::Kind::kWorkgroupRead) return;
  SetEditText(dialog_.m_editWorkgroup, FromDeviceText(progress.text));
  RememberDeviceBytes(dialog_.m_editWorkgroup, progress.text);
}

}  // namespace corvane::app
