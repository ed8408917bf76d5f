// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Changing the LAN settings of the selected device: it becomes a DHCP client, or it takes a
// static address, netmask and gateway. Both need the administrator password; afterwards the
// device may answer at another address, so the front end searches again.

#include <optional>
#include <string>
#include <string_view>

#include "operations/credentials.h"
#include "operations/device_view.h"
#include "operations/input_rules.h"
#include "operations/interaction.h"
#include "operations/texts.h"
#include "protocol/session.h"

namespace corvane::operations {

// One address as the user entered it.
struct AddressInput {
  std::optional<Octets> octets;  // empty: left blank
  // Set by a front end that could not read the text as an address at all: what to say.
  std::string unreadable;

  bool blank() const { return !octets && unreadable.empty(); }
};

struct StaticAddressInput {
  AddressInput address;
  AddressInput netmask;
  AddressInput gateway;
};

struct LanRefusal {
  enum class Reason { kMissing, kUnreadable, kOctet, kGatewayOutsideSubnet };
  Reason reason;
  AddressKind kind;  // the address at fault
  int field = 0;     // kOctet: the octet at fault, where the focus goes
  std::string message;
};

// The checks of a static change, in this order: each address present, then the octet rules of
// address, netmask and gateway, then the gateway inside the new subnet. Each address that passes
// its rules goes into NewAddress, NewNetmask or NewGateway at once, so a later refusal leaves the
// earlier ones there (they travel in the netmask and gateway fields of every later set request).
std::optional<LanRefusal> TakeStaticAddresses(protocol::Session& session,
                                              const StaticAddressInput& input);

// A listed device other than the selected one that already answers at the address a static
// change would give; nullptr when there is none. Giving that address away would put two devices
// on it, so a front end checks before it sends anything.
const protocol::DeviceRecord* AddressHeldByAnother(const protocol::Session& session,
                                                   std::string_view newAddress);

enum class LanChange {
  kDhcp,
  kStaticAddress,  // what TakeStaticAddresses put into NewAddress, NewNetmask and NewGateway
};

enum class LanOutcome {
  kCredentialsRefused,     // nothing was changed
  kCredentialsUnanswered,  // the device did not answer the password check; nothing was changed
  kDhcpFailed,
  kDhcpDone,
  kAddressSent,  // whether or not the device confirmed it
};

struct LanResult {
  LanOutcome outcome = LanOutcome::kCredentialsRefused;
  bool confirmed = false;  // the device confirmed the change
  std::string
      newAddress;  // where the device should answer now, after text::kDhcpDone or kAddressSent
  CredentialsProof credentials;
  // The device that was to change. After the new search, only this one answering at newAddress
  // (LocateDevice) means the change took effect: a reply may come from another device.
  DeviceIdentity device{};

  // The device list is out of date after these: the front end searches again.
  bool SearchAgain() const {
    return outcome == LanOutcome::kDhcpDone || outcome == LanOutcome::kAddressSent;
  }
};

// Proves the administrator password to the selected device, then sends the change.
LanResult ChangeLanSettings(protocol::Session& session, LanChange change, Interaction& interaction);

// What the user is told of an outcome; empty for kAddressSent, which the window passes over.
std::string_view MessageFor(LanOutcome outcome);

}  // namespace corvane::operations
