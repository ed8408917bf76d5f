// SPDX-License-Identifier: GPL-3.0-or-later
// The selected device's shares on drive letters, and its web page.

#include <QComboBox>
#include <QTreeWidget>

#include "app/device_text.h"
#include "app/main_dlg.h"
#include "app/window_interaction.h"
#include "dialogs/message_box.h"
#include "dialogs/texts.h"
#include "operations/drive_mapping.h"
#include "operations/web_page.h"
#include "platform/translation.h"

namespace corvane::app {
namespace {

using dialogs::MessageIcon;
using operations::MountOutcome;

// Where letters cannot be mapped at all (no GVfs in this session), the user learns why. Both
// parts come translated: the headline by the caller, the reason by the operations.
std::string WithReason(std::string_view message, const std::string& reason) {
  return std::string(message) + "\n\n" + reason;
}

}  // namespace

operations::MountRequest CMainDlg::MountRequestFromWindow() const {
  operations::MountRequest request;
  request.deviceAddress = SelectedDeviceHost.str();
  if (const protocol::DeviceRecord* device = SelectedDevice()) {
    request.deviceName = device->name.str();
    request.deviceAddress = device->address.str();
  }
  if (const ShareRow* share = SelectedShare()) request.shareName = share->name;
  // Read now: a repaint on the way (after the Mapping Type dialog) puts the combo back on the
  // first free letter.
  if (m_comboDrive->currentIndex() >= 0 && !m_comboDrive->currentText().isEmpty()) {
    request.letter = m_comboDrive->currentText().front().toLatin1();
  }
  return request;
}

void CMainDlg::OnMount() {
  const operations::MountRequest request = MountRequestFromWindow();
  SelectedDeviceHost.Set(request.deviceAddress);
  WindowInteraction interaction(*this);
  const operations::ShareServices services{m_drives, m_reachabilityTest};
  const operations::MountResult result = operations::MountShare(services, request, interaction);
  switch (result.outcome) {
    case MountOutcome::kNoShare:
      dialogs::ShowWarning(this, platform::Tr(operations::text::kSelectShareToMount));
      return;
    case MountOutcome::kCancelled:
    case MountOutcome::kNoLetter:
      return;
    case MountOutcome::kUnreachable:
      ReportDeviceGone();
      return;
    case MountOutcome::kUnavailable:
      dialogs::ShowError(
          this, WithReason(platform::Tr(operations::text::kMapFailed), result.unavailable));
      return;
    case MountOutcome::kNameRefused:
    case MountOutcome::kFailed:
      dialogs::ShowError(this, platform::Tr(operations::text::kMapFailed));
      return;
    case MountOutcome::kMapped:
      dialogs::ShowConfirm(this, platform::Tr(operations::text::kMapDone));
      RefreshDrives(false);
      return;
  }
}

void CMainDlg::OnUnmount() {
  // A selected share names its drive, even none; otherwise the Drive combo's choice does.
  std::string driveText;
  if (const ShareRow* share = SelectedShare()) {
    driveText = share->drive;
  } else if (m_comboDrive->currentIndex() >= 0) {
    driveText = m_comboDrive->currentText().toStdString();
  } else {
    return;
  }
  WindowInteraction interaction(*this);
  const operations::UnmountResult result =
      operations::UnmountDrive(m_drives, driveText, interaction);
  switch (result.outcome) {
    case operations::UnmountOutcome::kUnavailable:
      dialogs::ShowError(
          this, WithReason(platform::Tr(operations::text::kUnmountFailed), result.unavailable));
      return;
    case operations::UnmountOutcome::kRefused:
      dialogs::ShowError(this, platform::Tr(operations::text::kUnmountFailed));
      return;
    case operations::UnmountOutcome::kDone:
      dialogs::ShowConfirm(this, platform::Tr(operations::text::kUnmountDone));
      RefreshDrives(true);
      return;
  }
}

void CMainDlg::RefreshDrives(bool hostIgnoreCase) {
  ScanDriveMappings(DriveMap, m_drives);
  FillDriveCombo();
  RefreshShareList(hostIgnoreCase);
}

void CMainDlg::OnConnectWebPage() {
  const protocol::DeviceRecord* device = SelectedDevice();
  if (device == nullptr) {
    dialogs::ShowWarning(this, platform::Tr(dialogs::text::kSelectServerToConnect));
    return;
  }
  SelectedDeviceHost.Set(device->address.view());
  WindowInteraction interaction(*this);
  const operations::WebPageResult result = operations::OpenWebPage(
      SelectedDeviceHost.view(), *m_browser, interaction, m_reachabilityTest);
  // Neither a browser that would not start nor the opener is reported.
  if (result.outcome == operations::WebPageOutcome::kUnreachable) ReportDeviceGone();
}

}  // namespace corvane::app
