// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/lan_settings.h"

#include "operations/blocking.h"

#include <array>

namespace corvane::operations {

namespace {

struct Field {
  const AddressInput& input;
  AddressKind kind;
  std::string_view missingMessage;
  protocol::FixedText<16>& buffer;
};

LanRefusal Refusal(LanRefusal::Reason reason, AddressKind kind, std::string_view message,
                   int field = 0) {
  return LanRefusal{reason, kind, field, std::string(message)};
}

}  // namespace

std::optional<LanRefusal> TakeStaticAddresses(protocol::Session& session,
                                              const StaticAddressInput& input) {
  const std::array<Field, 3> fields = {{
      {input.address, AddressKind::kIp, text::kInputIpAddress, session.NewAddress},
      {input.netmask, AddressKind::kNetmask, text::kInputNetmask, session.NewNetmask},
      {input.gateway, AddressKind::kGateway, text::kInputGateway, session.NewGateway},
  }};
  for (const Field& field : fields) {
    if (field.input.blank()) {
      return Refusal(LanRefusal::Reason::kMissing, field.kind, platform::Tr(field.missingMessage));
    }
  }
  for (const Field& field : fields) {
    if (!field.input.unreadable.empty()) {
      return Refusal(LanRefusal::Reason::kUnreadable, field.kind, field.input.unreadable);
    }
    const Octets& octets = *field.input.octets;
    if (const auto error = ValidateAddress(field.kind, octets)) {
      return Refusal(LanRefusal::Reason::kOctet, field.kind, error->message, error->field);
    }
    field.buffer.Set(protocol::ToDotted(octets));
  }
  if (!GatewayInSubnet(*input.address.octets, *input.netmask.octets, *input.gateway.octets)) {
    return Refusal(LanRefusal::Reason::kGatewayOutsideSubnet, AddressKind::kGateway,
                   platform::Tr(text::kGatewayInputError));
  }
  return std::nullopt;
}

const protocol::DeviceRecord* AddressHeldByAnother(const protocol::Session& session,
                                                   std::string_view newAddress) {
  const protocol::DeviceRecord* holder = session.DeviceTable.FindDeviceByAddress(newAddress);
  if (holder == nullptr) return nullptr;
  const protocol::DeviceRecord* selected =
      session.DeviceTable.FindDeviceByAddress(session.SelectedAddress.view());
  if (selected != nullptr && IdentityOf(*selected) == IdentityOf(*holder)) return nullptr;
  return holder;
}

LanResult ChangeLanSettings(protocol::Session& session, LanChange change,
                            Interaction& interaction) {
  LanResult result;
  if (const protocol::DeviceRecord* selected =
          session.DeviceTable.FindDeviceByAddress(session.SelectedAddress.view())) {
    result.device = IdentityOf(*selected);
  }
  result.credentials = ProveCredentials(session, interaction);
  switch (result.credentials.Final()) {
    case CredentialsAnswer::kAccepted:
      break;
    case CredentialsAnswer::kRefused:
      result.outcome = LanOutcome::kCredentialsRefused;
      return result;
    case CredentialsAnswer::kNoAnswer:
      result.outcome = LanOutcome::kCredentialsUnanswered;
      return result;
  }
  int answer = 0;
  if (change == LanChange::kDhcp) {
    RunBlocking(interaction, [&] { answer = session.SetDhcp(); });
    if (answer == 0) {
      result.outcome = LanOutcome::kDhcpFailed;
      return result;
    }
    // The device told its new address, and the request moved SelectedAddress there.
    result.outcome = LanOutcome::kDhcpDone;
    result.confirmed = true;
    result.newAddress = session.SelectedAddress.str();
    return result;
  }
  result.newAddress = session.NewAddress.str();
  RunBlocking(interaction, [&] { answer = session.SetAddress(); });
  // A device may take the address and lose the reply: the new search tells.
  result.outcome = LanOutcome::kAddressSent;
  result.confirmed = answer != 0;
  return result;
}

std::string_view MessageFor(LanOutcome outcome) {
  switch (outcome) {
    case LanOutcome::kCredentialsRefused:
      return platform::Tr(text::kWrongAdminPassword);
    case LanOutcome::kCredentialsUnanswered:
      return platform::Tr(text::kCredentialsUnanswered);
    case LanOutcome::kDhcpFailed:
      return platform::Tr(text::kDhcpFail);
    case LanOutcome::kDhcpDone:
      return platform::Tr(text::kDhcpDone);
    case LanOutcome::kAddressSent:
      break;
  }
  return {};
}

}  // namespace corvane::operations
