// SPDX-License-Identifier: GPL-3.0-or-later
// Changing the LAN settings of the selected device: DHCP client, or a static address.

#include <QComboBox>

#include "app/main_dlg.h"
#include "app/main_dlg_template.h"
#include "app/window_interaction.h"
#include "dialogs/ip_address_edit.h"
#include "dialogs/message_box.h"
#include "dialogs/texts.h"
#include "operations/lan_settings.h"
#include "platform/translation.h"

namespace corvane::app {
namespace {

using dialogs::MessageIcon;
using operations::AddressKind;
using operations::LanOutcome;
using operations::LanRefusal;

operations::AddressInput InputOf(const dialogs::IpAddressEdit* control) {
  if (control->IsBlank()) return {};
  return {control->GetAddress(), ""};
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

void CMainDlg::ShowLanRefusal(const LanRefusal& refusal) {
  switch (refusal.reason) {
    case LanRefusal::Reason::kMissing:
    case LanRefusal::Reason::kGatewayOutsideSubnet:
      dialogs::ShowWarning(this, refusal.message);
      return;
    case LanRefusal::Reason::kOctet:
      dialogs::ShowMessage(this, refusal.message, dialogs::text::kError, MessageIcon::kInformation);
      if (dialogs::IpAddressEdit* control = AddressControl(refusal.kind)) {
        control->SetFieldFocus(refusal.field);
      }
      return;
    case LanRefusal::Reason::kUnreadable:
      break;
  }
  dialogs::ShowError(this, refusal.message);
}

void CMainDlg::OnModifyLan() {
  if (m_deviceSelected == 0) {
    dialogs::ShowError(this, platform::Tr(operations::text::kSelectServerToModifyIp));
    return;
  }
  if (m_comboDhcp->currentIndex() < 0) return;
  const bool dhcp = m_comboDhcp->currentIndex() == kDhcpEnabledRow;
  if (!dhcp) {
    const operations::StaticAddressInput input{InputOf(m_ipAddress), InputOf(m_ipNetmask),
                                               InputOf(m_ipGateway)};
    if (const auto refusal = operations::TakeStaticAddresses(m_session, input)) {
      ShowLanRefusal(*refusal);
      return;
    }
  }

  WindowInteraction interaction(*this);
  const operations::LanResult result = operations::ChangeLanSettings(
      m_session, dhcp ? operations::LanChange::kDhcp : operations::LanChange::kStaticAddress,
      interaction);
  const std::string_view message = operations::MessageFor(result.outcome);
  switch (result.outcome) {
    case LanOutcome::kCredentialsRefused:
    case LanOutcome::kCredentialsUnanswered:
    case LanOutcome::kDhcpFailed:
      dialogs::ShowError(this, message);
      return;
    case LanOutcome::kDhcpDone:
      dialogs::ShowConfirm(this, message);
      SetAddressControlsEnabled(true);
      break;
    case LanOutcome::kAddressSent:
      // Whatever the device answered, the new search shows what it reports now.
      break;
  }
  if (result.SearchAgain()) RefreshDeviceList();
}

void CMainDlg::OnDhcpSelChange() {
  if (m_comboDhcp->currentIndex() < 0) return;
  SetAddressControlsEnabled(m_comboDhcp->currentIndex() != kDhcpEnabledRow);
}

}  // namespace corvane::app
