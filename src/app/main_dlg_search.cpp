// SPDX-License-Identifier: GPL-3.0-or-later
// Searching the network, listing the devices and showing the one the user clicks.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "app/device_text.h"
#include "app/main_dlg.h"
#include "app/main_dlg_template.h"
#include "app/window_interaction.h"
#include "dialogs/ip_address_edit.h"
#include "dialogs/message_box.h"
#include "operations/blocking.h"
#include "operations/device_view.h"
#include "platform/translation.h"

namespace corvane::app {
namespace {

constexpr int kNameColumn = 0;
constexpr int kAddressColumn = 1;
constexpr int kNetmaskColumn = 2;
constexpr int kGatewayColumn = 3;

protocol::Octets OctetsOf(std::string_view dotted) {
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
  ListDeviceTable();
}

void CMainDlg::ListDeviceTable() {
  m_listDevices->clear();
  for (const protocol::DeviceRecord& record : m_session.DeviceTable) {
    auto* row = new QTreeWidgetItem(m_listDevices);
    row->setText(kNameColumn, FromDeviceText(record.name.view()));
    row->setText(kAddressColumn, FromDeviceText(record.address.view()));
    row->setText(kNetmaskColumn, FromDeviceText(record.netmask.view()));
    row->setText(kGatewayColumn, FromDeviceText(record.gateway.view()));
  }
}

const protocol::DeviceRecord* CMainDlg::SelectedDevice() const {
  const int row = SelectedRowFromTop();
  if (row < 0 || row >= m_session.DeviceTable.count()) return nullptr;
  return &m_session.DeviceTable[static_cast<std::size_t>(row)];
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
  if (const protocol::DeviceRecord* device = SelectedDevice()) ShowDevice(*device);
}

void CMainDlg::ShowDevice(const protocol::DeviceRecord& device) {
  SetEditText(m_editHostName, FromDeviceText(device.name.view()));
  RememberDeviceBytes(m_editHostName, device.name.view());

  const std::string address = device.address.str();
  m_session.SelectedAddress.Set(address);
  m_ipAddress->SetAddress(OctetsOf(address));
  const bool dhcp = device.dhcpFlag == std::string_view("1");
  m_comboDhcp->setCurrentIndex(dhcp ? kDhcpEnabledRow : kDhcpDisabledRow);
  SetAddressControlsEnabled(!dhcp);
  m_ipNetmask->SetAddress(OctetsOf(device.netmask.view()));
  SetSubnetButtonsEnabled(operations::InLocalSubnet(m_session, device));
  m_ipGateway->SetAddress(OctetsOf(device.gateway.view()));

  ReadDeviceDetails();
  SelectedDeviceHost.Set(address);
  RefreshShareList(true);
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

void CMainDlg::RefreshShareList(bool hostIgnoreCase) {
  const protocol::DeviceRecord* device = SelectedDevice();
  if (device == nullptr) return;
  m_listShares->clear();
  m_shareRows.clear();
  for (const protocol::ShareEntry& share : m_session.ShareList) {
    const std::string drive = DriveForShare(DriveMap, device->name.view(), device->address.view(),
                                            share.name.view(), hostIgnoreCase);
    m_shareRows.push_back({share.name.str(), drive});
    auto* shareRow = new QTreeWidgetItem(m_listShares);
    shareRow->setText(0, FromDeviceText(share.name.view()));
    if (!drive.empty()) shareRow->setText(1, QString::fromStdString(drive));
  }
}

const CMainDlg::ShareRow* CMainDlg::SelectedShare() const {
  const int row = SelectedShareRowFromTop();
  if (row < 0 || static_cast<std::size_t>(row) >= m_shareRows.size()) return nullptr;
  return &m_shareRows[static_cast<std::size_t>(row)];
}

void CMainDlg::ReportDeviceGone() {
  dialogs::ShowWarning(this, platform::Tr(operations::text::kDeviceGone));
  StartOver();
}

void CMainDlg::StartOver() {
  ScanDriveMappings(DriveMap, m_drives);
  FillDriveCombo();
  RefreshDeviceList();
  m_deviceSelected = 0;
}

}  // namespace corvane::app
