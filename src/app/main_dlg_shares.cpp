// SPDX-License-Identifier: GPL-3.0-or-later
// The selected device's shares on drive letters, and its web page.

#include <QComboBox>
#include <QTreeWidget>

#include "app/device_text.h"
#include "app/main_dlg.h"
#include "app/window_interaction.h"
#include "dialogs/message_box.h"
#include "operations/drive_mapping.h"
#include "operations/web_page.h"

namespace corvane::app {
namespace {

using dialogs::MessageIcon;
using operations::MountOutcome;

// Where letters cannot be mapped at all (no GVfs in this session), the user learns why.
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
      dialogs::ShowMessage(this, operations::text::kSelectShareToMount, "Warning",
                           MessageIcon::kWarning);
      return;
    case MountOutcome::kCancelled:
    case MountOutcome::kNoLetter:
      return;
    case MountOutcome::kUnreachable:
      ReportDeviceGone();
      return;
    case MountOutcome::kUnavailable:
      dialogs::ShowMessage(this, WithReason(operations::text::kMapFailed, result.unavailable),
                           "Error", MessageIcon::kError);
      return;
    case MountOutcome::kNameRefused:
    case MountOutcome::kFailed:
      dialogs::ShowMessage(this, operations::text::kMapFailed, "Error", MessageIcon::kError);
      return;
    case MountOutcome::kMapped:
      dialogs::ShowMessage(this, operations::text::kMapDone, "Confirm", MessageIcon::kInformation);
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
      dialogs::ShowMessage(this, WithReason(operations::text::kUnmountFailed, result.unavailable),
                           "Error", MessageIcon::kError);
      return;
    case operations::UnmountOutcome::kRefused:
      dialogs::ShowMessage(this, operations::text::kUnmountFailed, "Error", MessageIcon::kError);
      return;
    case operations::UnmountOutcome::kDone:
      dialogs::ShowMessage(this, operations::text::kUnmountDone, "Confirm",
                           MessageIcon::kInformation);
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
    dialogs::ShowMessage(this, "You should select a sever to connect.", "Warning",
                         MessageIcon::kWarning);
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
