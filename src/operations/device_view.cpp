// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/device_view.h"

#include "operations/blocking.h"

#include "operations/input_rules.h"

#include <algorithm>

namespace corvane::operations {

DeviceView ViewOf(const protocol::DeviceRecord& record, const protocol::Session& session) {
  DeviceView view;
  view.name = record.name.str();
  view.address = record.address.str();
  view.netmask = record.netmask.str();
  view.gateway = record.gateway.str();
  view.dhcp = record.dhcpFlag == "1";
  const int index = record.interfaceIndex;
  if (index >= 0 && index < session.InterfaceCount && index < protocol::kMaxInterfaces) {
    const protocol::InterfaceEntry& entry = session.InterfaceTable[static_cast<std::size_t>(index)];
    view.interfaceAddress = entry.address.str();
    view.interfaceName = entry.name;
  }
  return view;
}

std::vector<DeviceView> ListDevices(const protocol::Session& session) {
  std::vector<DeviceView> views;
  for (const protocol::DeviceRecord& record : session.DeviceTable) {
    views.push_back(ViewOf(record, session));
  }
  return views;
}

DeviceIdentity IdentityOf(const protocol::DeviceRecord& record) {
  DeviceIdentity identity{};
  std::copy_n(record.deviceId.begin(), identity.size(), identity.begin());
  return identity;
}

DeviceAtAddress LocateDevice(const protocol::Session& session, const DeviceIdentity& device,
                             std::string_view address) {
  const protocol::DeviceRecord* record = session.DeviceTable.FindDeviceByAddress(address);
  if (record == nullptr) return {};
  const Whereabouts where =
      IdentityOf(*record) == device ? Whereabouts::kAnswers : Whereabouts::kOtherDeviceAnswers;
  return {where, record};
}

DeviceDetails ShowDevice(protocol::Session& session, Interaction& interaction) {
  DeviceDetails details;
  if (const protocol::DeviceRecord* record =
          session.DeviceTable.FindDeviceByAddress(session.SelectedAddress.view())) {
    details.device = ViewOf(*record, session);
  }
  // Emptied first, so a failed read shows an empty workgroup rather than the last device's.
  session.WorkgroupText.Clear();
  RunBlocking(interaction, [&] { details.workgroupRead = session.ReadWorkgroup() != 0; });
  details.workgroup = session.WorkgroupText.str();
  interaction.Report({Progress::Kind::kWorkgroupRead, details.workgroup});
  RunBlocking(interaction, [&] { details.sharesRead = session.ReadShareList() != 0; });
  for (const protocol::ShareEntry& share : session.ShareList) {
    details.shares.push_back(share.name.str());
  }
  return details;
}

bool InLocalSubnet(const protocol::Session& session, const protocol::DeviceRecord& record) {
  const int index = record.interfaceIndex;
  if (index < 0 || index >= session.InterfaceCount) return false;
  const std::optional<Octets> device = protocol::ParseAddress(record.address.view());
  const std::optional<Octets> mask = protocol::ParseAddress(record.netmask.view());
  // A text that does not read as an address counts as 0.0.0.0, which only a zero mask lets pass.
  const std::optional<Octets> local = protocol::ParseAddress(
      session.InterfaceTable[static_cast<std::size_t>(index)].address.view());
  const Octets none{0, 0, 0, 0};
  return SameSubnet(device.value_or(none), mask.value_or(none), local.value_or(none));
}

}  // namespace corvane::operations
