// SPDX-License-Identifier: GPL-3.0-or-later
// Changing the host name and the workgroup of the selected device.

#include <QLineEdit>

#include "app/device_text.h"
#include "app/main_dlg.h"
#include "app/window_interaction.h"
#include "dialogs/message_box.h"
#include "operations/names.h"
#include "platform/translation.h"

namespace corvane::app {

void CMainDlg::OnModifyHostName() {
  if (m_deviceSelected == 0) {
    dialogs::ShowError(this, platform::Tr(operations::text::kSelectServerToModifyNames));
    return;
  }
  const operations::NamesInput input{DeviceEditText(m_editHostName),
                                     DeviceEditText(m_editWorkgroup)};
  WindowInteraction interaction(*this);
  const operations::NamesResult result = operations::ChangeNames(m_session, input, interaction);
  if (!result.SearchAgain()) {
    // The host name has gone to the device already when the workgroup is refused.
    dialogs::ShowError(this, result.refusal);
    (result.outcome == operations::NamesOutcome::kHostNameRefused ? m_editHostName
                                                                  : m_editWorkgroup)
        ->setFocus();
    return;
  }
  RefreshDeviceList();
}

}  // namespace corvane::app
