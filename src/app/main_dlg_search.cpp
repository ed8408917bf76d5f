// SPDX-License-Identifier: GPL-3.0-or-later
// Searching the network, listing the devices and showing the one the user clicks.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "app/device_text.h"
#include "app/main_dlg.h"
#include "app/window_interaction.h"
#include "dialogs/ip_address_edit.h"
#include "dialogs/message_box.h"
#include "operations/blocking.h"
#include "operations/device_view.h"

namespace corvane::app {
namespace {

constexpr int kNameColumn = 0;
constexpr int kAddressColumn = 1;
constexpr int kNetmaskColumn = 2;
constexpr int kGatewayColumn = 3;

std::string ColumnText(const QTreeWidgetItem* row, int column) {
  return DeviceItemText(row, column);
}

protocol::Octets OctetsOf(const std::string& dotted) {
  return protocol::ParseAddress(dotted).value_or(protocol::Octets{0, 0, 0, 0});
}

int FirstVisibleRow(const QTreeWidget* list) {
  const QTreeWidgetItem* top = list->itemAt(0, 0);
  return top == nullptr ? 0 : list->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(top));
}

}  // namespace

void CMainDlg::ClearLists() {
  m_listDevices->clear();
  m_listShares->clear();
}

void CMainDlg::ClearAddressControls() {
  m_ipAddress->ClearAddress();
  m_ipNetmask->ClearAddress();
  m_ipGateway->ClearAddress();
}

void CMainDlg::ClearNameEdits() {
  m_editWorkgroup->clear();
  m_editHostName->clear();
}

void CMainDlg::SearchAndListDevices() {
  // Disabling the focused button passes the focus on to the next control; it comes back when
  // the button does.
  const bool searchHadFocus = focusWidget() == m_btnSearch;
  m_btnSearch->setEnabled(false);
  WindowInteraction interaction(*this);
  operations::RunBlocking(interaction, [this] {
    m_session.SearchDevices(protocol::kSearchFilter, protocol::kSearchFilter);
  });
  m_btnSearch->setEnabled(true);
  if (searchHadFocus) m_btnSearch->setFocus(Qt::OtherFocusReason);
  for (const protocol::DeviceRecord& record : m_session.DeviceTable) {
    auto* row = new QTreeWidgetItem(m_listDevices);
    SetDeviceItemText(row, kNameColumn, record.name.view());
    SetDeviceItemText(row, kAddressColumn, record.address.view());
    SetDeviceItemText(row, kNetmaskColumn, record.netmask.view());
    SetDeviceItemText(row, kGatewayColumn, record.gateway.view());
  }
}

void CMainDlg::RefreshDeviceList() {
  ClearLists();
  ClearAddressControls();
  ClearNameEdits();
  SearchAndListDevices();
  m_deviceSelected = 0;
}

int CMainDlg::SelectedRowFromTop() const {
  for (int row = FirstVisibleRow(m_listDevices); row < m_listDevices->topLevelItemCount(); ++row) {
    if (m_listDevices->topLevelItem(row)->isSelected()) return row;
  }
  return -1;
}

int CMainDlg::SelectedShareRowFromTop() const {
  for (int row = FirstVisibleRow(m_listShares); row < m_listShares->topLevelItemCount(); ++row) {
    if (m_listShares->topLevelItem(row)->isSelected()) return row;
  }
  return -1;
}

void CMainDlg::OnClickDeviceList() {
  m_session.WorkgroupText.Clear();
  m_deviceSelected = 1;
  m_listDevices->setFocus();
  const int row = SelectedRowFromTop();
  if (row >= 0) ShowSelectedRow(row);
}

void CMainDlg::ShowSelectedRow(int row) {
  const QTreeWidgetItem* item = m_listDevices->topLevelItem(row);
  SetEditText(m_editHostName, item->text(kNameColumn));
  RememberDeviceBytes(m_editHostName, ColumnText(item, kNameColumn));

  const std::string address = ColumnText(item, kAddressColumn);
  m_session.SelectedAddress.Set(address);
  m_ipAddress->SetAddress(OctetsOf(address));

  const protocol::DeviceRecord* record = m_session.DeviceTable.FindDeviceByAddress(address);
  if (record != nullptr) {
    const bool dhcp = record->dhcpFlag == std::string_view("1");
    m_comboDhcp->setCurrentIndex(dhcp ? 1 : 0);
    SetAddressControlsEnabled(!dhcp);
  }

  m_ipNetmask->SetAddress(OctetsOf(ColumnText(item, kNetmaskColumn)));
  SetSubnetButtonsEnabled(record != nullptr && operations::InLocalSubnet(m_session, *record));
  m_ipGateway->SetAddress(OctetsOf(ColumnText(item, kGatewayColumn)));

  ReadDeviceDetails();
  SelectedDeviceHost.Set(address);
  RefreshShareList(row, true);
}

void CMainDlg::ReadDeviceDetails() {
  // The workgroup shows as soon as it is read: the window keeps painting while the share list is
  // read, which RefreshShareList then shows.
  WindowInteraction interaction(*this);
  operations::ShowDevice(m_session, interaction);
}

void CMainDlg::SetAddressControlsEnabled(bool enabled) {
  m_ipAddress->setEnabled(enabled);
  m_ipGateway->setEnabled(enabled);
  m_ipNetmask->setEnabled(enabled);
}

void CMainDlg::SetSubnetButtonsEnabled(bool enabled) {
  for (QPushButton* button : {m_btnMount, m_btnUnmount, m_btnWebPage, m_btnSetLanguage}) {
    button->setEnabled(enabled);
  }
}

void CMainDlg::RefreshShareList(int row, bool hostIgnoreCase) {
  m_listShares->clear();
  const QTreeWidgetItem* item = m_listDevices->topLevelItem(row);
  if (item == nullptr) return;
  const std::string deviceName = ColumnText(item, kNameColumn);
  const std::string deviceAddress = ColumnText(item, kAddressColumn);
  for (const protocol::ShareEntry& share : m_session.ShareList) {
    auto* shareRow = new QTreeWidgetItem(m_listShares);
    SetDeviceItemText(shareRow, 0, share.name.view());
    const std::string drive =
        DriveForShare(DriveMap, deviceName, deviceAddress, share.name.view(), hostIgnoreCase);
    if (!drive.empty()) shareRow->setText(1, QString::fromStdString(drive));
  }
}

void CMainDlg::ReportDeviceGone() {
  dialogs::ShowMessage(this, operations::text::kDeviceGone, "Warning",
                       dialogs::MessageIcon::kWarning);
  StartOver();
}

void CMainDlg::StartOver() {
  ScanDriveMappings(DriveMap, m_drives);
  FillDriveCombo();
  RefreshDeviceList();
  m_deviceSelected = 0;
}

}  // namespace corvane::app
