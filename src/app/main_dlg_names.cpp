// SPDX-License-Identifier: GPL-3.0-or-later
// Changing the host name and the workgroup of the selected device.

#include <QLineEdit>
#include <chrono>

#include "app/device_text.h"
#include "app/main_dlg.h"
#include "app/network_wait.h"
#include "dialogs/message_box.h"

namespace corvane::app {
namespace {

using dialogs::MessageIcon;

// True when the text must not be sent; the refusal has been shown and the focus is in the edit.
bool Refused(QWidget* parent, QLineEdit* edit, std::optional<std::string_view> problem) {
  if (!problem) return false;
  dialogs::ShowMessage(parent, *problem, "Error", MessageIcon::kError);
  edit->setFocus();
  return true;
}

}  // namespace

void CMainDlg::OnModifyHostName() {
  if (m_deviceSelected == 0) {
    dialogs::ShowMessage(this, validation::kSelectServerToModifyNames, "Error",
                         MessageIcon::kError);
    return;
  }
  const std::string hostName = DeviceEditText(m_editHostName);
  if (Refused(this, m_editHostName, validation::CheckHostName(hostName))) return;
  // A name longer than the request buffer (only a device's own name can be) is cut, at a
  // character border.
  m_session.HostNameText.Set(
      DeviceEditText(m_editHostName, decltype(m_session.HostNameText)::kCapacity - 1));
  {
    NetworkWait wait(*this);
    m_session.SetHostName();
  }

  // The host name has gone to the device already when the workgroup is refused.
  const std::string workgroup = DeviceEditText(m_editWorkgroup);
  if (Refused(this, m_editWorkgroup, validation::CheckWorkgroup(workgroup))) return;
  m_session.WorkgroupText.Set(
      DeviceEditText(m_editWorkgroup, decltype(m_session.WorkgroupText)::kCapacity - 1));
  {
    NetworkWait wait(*this);
    m_session.SetWorkgroup();
    dialogs::SleepPumping(std::chrono::milliseconds(1000));
  }

  ClearNameEdits();
  ClearAddressControls();
  ClearLists();
  SearchAndListDevices();
  m_deviceSelected = 0;
}

}  // namespace corvane::app
