// SPDX-License-Identifier: GPL-3.0-or-later
#include "device_logic.h"

#include <algorithm>

namespace corvane::devsim {

namespace {

enum Item : std::uint8_t {
  kAddress = 1,
  kDhcp = 2,
  kShareList = 3,
  kCredentials = 4,
  kHostName = 5,
  kWorkgroup = 6,
  kSetWorkgroup = 7,
  kSetCodepage = 8,
  kCodepage = 9,
  kRw = 10,
  kIdeOk = 11,
  kShareName = 12,
  kStop = 13,
};

constexpr std::uint8_t kCredentialSeparator[] = {0x55, 0xAA};

// Payload texts end at their first zero byte and are kept to a bounded length.
std::string PayloadText(std::span<const std::uint8_t> payload) {
  auto end = std::find(payload.begin(), payload.end(), std::uint8_t{0});
  std::string text(payload.begin(), end);
  if (text.size() > kMaxText) text.resize(kMaxText);
  return text;
}

// Addresses a device interface can actually carry.
bool IsUsableHostAddress(Ipv4 address) {
  std::uint8_t first = address.Octet(0);
  return first != 0 && first != 127 && first < 224;
}

}  // namespace

DeviceLogic::DeviceLogic(DeviceConfig config)
    : config_(std::move(config)), state_(InitialState(config_)) {}

std::size_t DeviceLogic::IdentityLeg(std::size_t leg) const {
  if (config_.addressPolicy == AddressPolicy::kPerLeg && leg < state_.legs.size()) return leg;
  return 0;
}

DeviceIdentity DeviceLogic::Identity(std::size_t leg) const {
  return DeviceIdentity{config_.deviceId, state_.legs.at(IdentityLeg(leg)).address.address};
}

bool DeviceLogic::SetSilent(bool silent) {
  if (state_.silent == silent) return false;
  state_.silent = silent;
  return true;
}

std::vector<AddressChange> DeviceLogic::Reset() {
  DeviceState configured = InitialState(config_);
  std::vector<AddressChange> moves;
  for (std::size_t leg = 0; leg < configured.legs.size(); ++leg) {
    const AddressWithPrefix& address = configured.legs[leg].address;
    if (state_.legs.at(leg).address != address) moves.push_back(AddressChange{leg, address});
  }
  configured.resets = state_.resets + 1;
  state_ = std::move(configured);
  lastDiscovery_.clear();
  return moves;
}

Outcome DeviceLogic::Handle(std::span<const std::uint8_t> datagram, std::size_t leg,
                            std::int64_t receivedMs) {
  if (state_.silent || leg >= state_.legs.size()) return {};
  std::optional<Request> request = ParseRequest(datagram);
  if (!request) return {};
  if (request->opcode == kDiscoveryRequest) return Discover(*request, leg, receivedMs);
  DeviceIdentity self = Identity(leg);
  if (request->target.id != self.id || request->target.address != self.address) return {};
  if (std::find(config_.unanswered.begin(), config_.unanswered.end(), request->item) !=
      config_.unanswered.end()) {
    return {};
  }
  if (request->opcode == kReadRequest) return Read(*request, leg);
  return Set(*request, leg);
}

bool DeviceLogic::IsRepeatOfBurst(const ClientId& clientId, std::size_t leg,
                                  std::int64_t receivedMs) {
  std::erase_if(lastDiscovery_, [receivedMs](const auto& entry) {
    return receivedMs - entry.second >= kBurstWindowMs;
  });
  auto [it, inserted] = lastDiscovery_.try_emplace({clientId, leg}, receivedMs);
  if (inserted) return false;
  it->second = receivedMs;
  return true;
}

Outcome DeviceLogic::Discover(const Request& request, std::size_t leg, std::int64_t receivedMs) {
  bool repeat = IsRepeatOfBurst(request.clientId, leg, receivedMs);
  if (repeat && !config_.answerBothSends) return {};
  const LegState& identityLeg = state_.legs.at(IdentityLeg(leg));
  DiscoveryAnswer answer;
  answer.form = config_.replyForm;
  answer.clientId = request.clientId;
  answer.device = Identity(leg);
  answer.dhcp = state_.dhcp;
  answer.netmask = NetmaskFromPrefix(identityLeg.address.prefix);
  answer.gateway = state_.gateway;
  answer.matchCodes = config_.matchCodes;
  answer.name = state_.name;
  return Outcome{BuildDiscoveryReply(answer), std::nullopt, false};
}

bool DeviceLogic::CredentialsMatch(std::span<const std::uint8_t> payload) const {
  auto separator = std::search(payload.begin(), payload.end(), std::begin(kCredentialSeparator),
                               std::end(kCredentialSeparator));
  if (separator == payload.end()) return false;
  std::string user(payload.begin(), separator);
  std::string password(separator + 2, payload.end());
  return user == config_.adminUser && password == config_.adminPassword;
}

Outcome DeviceLogic::Read(const Request& request, std::size_t leg) {
  std::string value;
  switch (request.item) {
    case kShareList:
      value = state_.shares;
      break;
    case kCredentials:
      if (CredentialsMatch(request.payload)) value.push_back('1');
      break;
    case kWorkgroup:
      value = state_.workgroup;
      break;
    case kCodepage:
      value = state_.codepage;
      break;
    case kIdeOk:
      value = state_.ideok;
      break;
    case kShareName:
      value = state_.systemShare;
      break;
    default:
      return {};
  }
  return Outcome{BuildReadReply(request.clientId, Identity(leg), request.item, value), std::nullopt,
                 false};
}

std::optional<AddressChange> DeviceLogic::SetStaticAddress(const Request& request,
                                                           std::size_t leg) {
  std::optional<Ipv4> address = ParseIpv4(PayloadText(request.payload));
  if (!address || !IsUsableHostAddress(*address)) return std::nullopt;
  LegState& target = state_.legs.at(IdentityLeg(leg));
  if (std::optional<int> prefix = PrefixFromNetmask(request.netmask); prefix && *prefix > 0) {
    target.address.prefix = *prefix;
  }
  if (ParseIpv4(request.gateway)) state_.gateway = request.gateway;
  target.address.address = *address;
  state_.dhcp = false;
  return AddressChange{IdentityLeg(leg), target.address};
}

AddressChange DeviceLogic::SwitchToDhcp(std::size_t leg) {
  LegState& target = state_.legs.at(IdentityLeg(leg));
  if (config_.dhcpAddress) target.address.address = *config_.dhcpAddress;
  state_.dhcp = true;
  return AddressChange{IdentityLeg(leg), target.address};
}

Outcome DeviceLogic::Set(const Request& request, std::size_t leg) {
  Outcome outcome;
  std::string text = PayloadText(request.payload);
  switch (request.item) {
    case kAddress:
      outcome.addressChange = SetStaticAddress(request, leg);
      break;
    case kDhcp:
      outcome.addressChange = SwitchToDhcp(leg);
      break;
    case kHostName:
      state_.name = text;
      break;
    case kSetWorkgroup:
      state_.workgroup = text;
      break;
    case kSetCodepage:
      state_.codepage = text;
      break;
    case kRw:
      state_.rw = text;
      break;
    case kStop:
      state_.stop = text;
      break;
    default:
      return {};
  }
  // A refused address keeps the device where it is; its reply then names the old address.
  outcome.stateChanged = request.item != kAddress || outcome.addressChange.has_value();
  if (outcome.stateChanged) ++state_.changes;
  outcome.reply = BuildSetReply(request.clientId, Identity(leg), request.item);
  return outcome;
}

}  // namespace corvane::devsim
