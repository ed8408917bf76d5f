// SPDX-License-Identifier: GPL-3.0-or-later
// Changing the LAN settings of the selected device: DHCP client, or a static address.

#include <QComboBox>
#include <QLineEdit>
#include <cstdio>

#include "app/main_dlg.h"
#include "app/network_wait.h"
#include "dialogs/ip_address_edit.h"
#include "dialogs/login_dialog.h"
#include "dialogs/message_box.h"
#include "protocol/credentials.h"

namespace corvane::app {
namespace {

using dialogs::MessageIcon;
using validation::AddressKind;

constexpr int kAdminLoginMode = 1;

std::string Dotted(const validation::Octets& octets) {
  char text[16];
  std::snprintf(text, sizeof text, "%d.%d.%d.%d", octets[0], octets[1], octets[2], octets[3]);
  return text;
}

}  // namespace

dialogs::IpAddressEdit* CMainDlg::AddressControl(AddressKind kind) const {
  switch (kind) {
    case AddressKind::kIp:
      return m_ipAddress;
    case AddressKind::kNetmask:
      return m_ipNetmask;
    case AddressKind::kGateway:
      return m_ipGateway;
  }
  return nullptr;
}

int CMainDlg::ValidateAddress(AddressKind kind, const validation::Octets& octets) {
  const std::optional<validation::OctetError> error = validation::ValidateAddress(kind, octets);
  if (!error) return 1;
  dialogs::ShowMessage(this, error->message, "Error", MessageIcon::kInformation);
  if (dialogs::IpAddressEdit* control = AddressControl(kind)) control->SetFieldFocus(error->field);
  return 0;
}

bool CMainDlg::ProveCredentials(NetworkWait& wait) {
  return protocol::ProveCredentials(m_session, [&] {
    // The Login dialog needs the input that the wait holds back.
    wait.Pause();
    dialogs::CLoginDlg login(m_session, kAdminLoginMode, m_system, this);
    login.DoModal();
    wait.Resume();
  });
}

void CMainDlg::OnModifyLan() {
  if (m_deviceSelected == 0) {
    dialogs::ShowMessage(this, validation::kSelectServerToModifyIp, "Error", MessageIcon::kError);
    return;
  }
  if (m_comboDhcp->currentIndex() < 0) return;
  if (m_comboDhcp->currentText() == QStringLiteral("Enabled")) {
    ModifyDhcp();
  } else {
    ModifyStaticAddress();
  }
}

void CMainDlg::ModifyDhcp() {
  bool proven = false;
  int changed = 0;
  {
    NetworkWait wait(*this);
    proven = ProveCredentials(wait);
    if (proven) changed = m_session.SetDhcp();
  }
  if (!proven) {
    dialogs::ShowMessage(this, validation::kWrongAdminPassword, "Error", MessageIcon::kError);
    return;
  }
  if (changed == 0) {
    dialogs::ShowMessage(this, validation::kDhcpFail, "Error", MessageIcon::kError);
    return;
  }
  dialogs::ShowMessage(this, validation::kDhcpDone, "Confirm", MessageIcon::kInformation);
  ClearNameEdits();
  ClearAddressControls();
  SetAddressControlsEnabled(true);
  m_deviceSelected = 0;
  ClearLists();
  SearchAndListDevices();
}

void CMainDlg::ModifyStaticAddress() {
  if (m_ipAddress->IsBlank()) {
    dialogs::ShowMessage(this, validation::kInputIpAddress, "Warning", MessageIcon::kWarning);
    return;
  }
  if (m_ipNetmask->IsBlank()) {
    dialogs::ShowMessage(this, validation::kInputNetmask, "Warning", MessageIcon::kWarning);
    return;
  }
  if (m_ipGateway->IsBlank()) {
    dialogs::ShowMessage(this, validation::kInputGateway, "Warning", MessageIcon::kWarning);
    return;
  }
  const validation::Octets address = m_ipAddress->GetAddress();
  if (ValidateAddress(AddressKind::kIp, address) == 0) return;
  m_session.NewAddress.Set(Dotted(address));
  const validation::Octets netmask = m_ipNetmask->GetAddress();
  if (ValidateAddress(AddressKind::kNetmask, netmask) == 0) return;
  m_session.NewNetmask.Set(Dotted(netmask));
  const validation::Octets gateway = m_ipGateway->GetAddress();
  if (ValidateAddress(AddressKind::kGateway, gateway) == 0) return;
  m_session.NewGateway.Set(Dotted(gateway));
  if (!validation::GatewayInSubnet(address, netmask, gateway)) {
    dialogs::ShowMessage(this, validation::kGatewayInputError, "Warning", MessageIcon::kWarning);
    return;
  }

  {
    NetworkWait wait(*this);
    if (!ProveCredentials(wait)) {
      wait.Pause();
      dialogs::ShowMessage(this, validation::kWrongAdminPassword, "Error", MessageIcon::kError);
      return;
    }
    // Whatever the device answers, the list is searched again and shows what it reports now.
    m_session.SetAddress();
  }
  ClearNameEdits();
  ClearAddressControls();
  m_deviceSelected = 0;
  ClearLists();
  SearchAndListDevices();
}

void CMainDlg::OnDhcpSelChange() {
  if (m_comboDhcp->currentIndex() < 0) return;
  SetAddressControlsEnabled(m_comboDhcp->currentText() != QStringLiteral("Enabled"));
}

}  // namespace corvane::app
