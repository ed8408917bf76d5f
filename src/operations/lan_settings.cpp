// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/lan_settings.h"

#include <array>

#include "operations/credentials.h"

namespace corvane::operations {

namespace {

using validation::AddressKind;

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
      {input.address, AddressKind::kIp, validation::kInputIpAddress, session.NewAddress},
      {input.netmask, AddressKind::kNetmask, validation::kInputNetmask, session.NewNetmask},
      {input.gateway, AddressKind::kGateway, validation::kInputGateway, session.NewGateway},
  }};
  for (const Field& field : fields) {
    if (field.input.blank()) {
      return Refusal(LanRefusal::Reason::kMissing, field.kind, field.missingMessage);
    }
  }
  for (const Field& field : fields) {
    if (!field.input.unreadable.empty()) {
      return Refusal(LanRefusal::Reason::kUnreadable, field.kind, field.input.unreadable);
    }
    const validation::Octets& octets = *field.input.octets;
    if (const auto error = validation::ValidateAddress(field.kind, octets)) {
      return Refusal(LanRefusal::Reason::kOctet, field.kind, error->message, error->field);
    }
    field.buffer.Set(validation::ToDotted(octets));
  }
  if (!validation::GatewayInSubnet(*input.address.octets, *input.netmask.octets,
                                   *input.gateway.octets)) {
    return Refusal(LanRefusal::Reason::kGatewayOutsideSubnet, AddressKind::kGateway,
                   validation::kGatewayInputError);
  }
  return std::nullopt;
}

LanResult ChangeLanSettings(protocol::Session& session, LanChange change,
                            Interaction& interaction) {
  if (!ProveCredentials(session, interaction)) return {LanOutcome::kCredentialsRefused, false, ""};
  int answer = 0;
  if (change == LanChange::kDhcp) {
    interaction.Blocking([&] { answer = session.SetDhcp(); });
    if (answer == 0) return {LanOutcome::kDhcpFailed, false, ""};
    // The device told its new address, and the request moved SelectedAddress there.
    return {LanOutcome::kDhcpDone, true, session.SelectedAddress.str()};
  }
  const std::string newAddress = session.NewAddress.str();
  interaction.Blocking([&] { answer = session.SetAddress(); });
  // A device may take the address and lose the reply: the new search tells.
  return {LanOutcome::kAddressSent, answer != 0, newAddress};
}

std::string_view MessageFor(LanOutcome outcome) {
  switch (outcome) {
    case LanOutcome::kCredentialsRefused:
      return validation::kWrongAdminPassword;
    case LanOutcome::kDhcpFailed:
      return validation::kDhcpFail;
    case LanOutcome::kDhcpDone:
      return validation::kDhcpDone;
    case LanOutcome::kAddressSent:
      break;
  }
  return {};
}

}  // namespace corvane::operations
