// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/requests.h"

#include <algorithm>
#include <span>

namespace corvane::protocol {
namespace {

ExchangePlan ReadPlan(int drainRounds, int pollLimit, const FixedText<16>& address) {
  return ExchangePlan{kOpReadReply, drainRounds, address, pollLimit};
}

ExchangePlan SetPlan(int pollLimit, std::optional<FixedText<16>> address) {
  return ExchangePlan{kOpSetReply, 0, std::move(address), pollLimit};
}

}  // namespace

std::optional<RequestRunner::Target> RequestRunner::FindTarget() const {
  const DeviceRecord* record =
      state_.DeviceTable.FindDeviceByAddress(state_.SelectedAddress.view());
  if (record == nullptr) return std::nullopt;
  // A record from an earlier transport could name an interface that no longer exists.
  if (record->interfaceIndex < 0 || record->interfaceIndex >= state_.InterfaceCount) {
    return std::nullopt;
  }
  return Target{record->interfaceIndex, record->deviceId};
}

bool RequestRunner::Exchange(const Target& target, const RequestBuffer& request, std::size_t length,
                             const ExchangePlan& plan, ReceiveBuffer& reply) {
  return RunExchange(io_, target.interfaceIndex, state_.ClientId,
                     std::span<const std::uint8_t>(request.data(), length), plan, reply);
}

std::optional<std::string> RequestRunner::ReadValue(std::uint8_t item, int drainRounds,
                                                    int pollLimit) {
  const std::optional<Target> target = FindTarget();
  if (!target) return std::nullopt;
  RequestBuffer request{};
  const std::size_t length = BuildRead(request, state_.ClientId, target->deviceId, item);
  ReceiveBuffer reply;
  if (!Exchange(*target, request, length, ReadPlan(drainRounds, pollLimit, state_.SelectedAddress),
                reply)) {
    return std::nullopt;
  }
  return std::string(ReadReplyValue(reply.datagram()));
}

template <std::size_t N>
int RequestRunner::ReadIntoText(std::uint8_t item, int drainRounds, int pollLimit,
                                FixedText<N>& text, std::string_view traceName) {
  const std::optional<std::string> value = ReadValue(item, drainRounds, pollLimit);
  if (!value) return 0;
  text.Set(*value);  // cut to the text's capacity
  Trace(traceName, text.view());
  return 1;
}

int RequestRunner::SetText(std::uint8_t item, std::string_view payload) {
  const std::optional<Target> target = FindTarget();
  if (!target) return 0;
  RequestBuffer request{};
  const std::size_t length = BuildSet(request, state_.ClientId, target->deviceId, item,
                                      state_.NewNetmask, state_.NewGateway, payload);
  ReceiveBuffer reply;
  return Exchange(*target, request, length, SetPlan(kShortLimit, state_.SelectedAddress), reply)
             ? 1
             : 0;
}

void RequestRunner::MoveSelectedDevice(const FixedText<16>& newAddress, const std::uint8_t* octets,
                                       bool takeNetmaskAndGateway) {
  DeviceRecord* record = state_.DeviceTable.FindDeviceByAddress(state_.SelectedAddress.view());
  if (record != nullptr) {
    record->address = newAddress;
    std::copy_n(octets, 4, record->deviceId.begin() + kDeviceIdAddressOffset);
    if (takeNetmaskAndGateway) {
      record->netmask = state_.NewNetmask;
      record->gateway = state_.NewGateway;
    }
  }
  state_.SelectedAddress = newAddress;
}

void RequestRunner::Trace(std::string_view name, std::string_view value) const {
  if (!trace_) return;
  std::string line;
  line.reserve(name.size() + value.size() + 2);
  line.append(name).append("=").append(value).append("\n");
  trace_(line);
}

int RequestRunner::SetAddress() {
  const std::optional<Target> target = FindTarget();
  if (!target) return 0;
  RequestBuffer request{};
  const std::size_t length =
      BuildSet(request, state_.ClientId, target->deviceId, kItemAddress, state_.NewNetmask,
               state_.NewGateway, state_.NewAddress.view());
  ReceiveBuffer reply;
  if (!Exchange(*target, request, length, SetPlan(kLongLimit, state_.NewAddress), reply)) return 0;
  const FixedText<16> newAddress = state_.NewAddress;
  MoveSelectedDevice(newAddress, reply.bytes.data() + kReplyAddressOffset, true);
  return 1;
}

int RequestRunner::SetDhcp() {
  const std::optional<Target> target = FindTarget();
  if (!target) return 0;
  RequestBuffer request{};
  const std::size_t length = BuildSetDhcp(request, state_.ClientId, target->deviceId);
  ReceiveBuffer reply;
  // The address the device takes cannot be foreseen, so any reply to this run is taken.
  if (!Exchange(*target, request, length, SetPlan(kLongLimit, std::nullopt), reply)) return 0;
  const std::optional<FixedText<16>> newAddress = ReplyAddress(reply.datagram());
  MoveSelectedDevice(*newAddress, reply.bytes.data() + kReplyAddressOffset, false);
  return 1;
}

int RequestRunner::ReadShareList() {
  // Emptied first, so a failed read leaves no names of another device behind.
  state_.ShareList.ClearShareList();
  const std::optional<std::string> value = ReadValue(kItemShareList, kLongDrain, kMediumLimit);
  if (!value) return 0;
  FillShareList(state_.ShareList, *value);
  return 1;
}

int RequestRunner::CheckCredentials() {
  const std::optional<Target> target = FindTarget();
  if (!target) return 0;
  RequestBuffer request{};
  const std::size_t length =
      BuildCredentialsRead(request, state_.ClientId, target->deviceId, state_.LoginUserName.view(),
                           state_.LoginPassword.view());
  ReceiveBuffer reply;
  // The answer is taken on opcode, ClientId and address alone. Without a drain, a reply still
  // queued from an earlier read (a device that answers twice, or late) would be read as this
  // answer: a share list would prove any password, an old refusal would refuse the right one.
  if (!Exchange(*target, request, length,
                ReadPlan(kCredentialsDrain, kShortLimit, state_.SelectedAddress), reply)) {
    return 0;
  }
  const std::string_view value = ReadReplyValue(reply.datagram());
  if (value.empty()) return 0;
  return static_cast<std::int8_t>(static_cast<std::uint8_t>(value.front()));
}

int RequestRunner::SetHostName() {
  return SetText(kItemHostName, state_.HostNameText.view());
}

int RequestRunner::ReadWorkgroup() {
  return ReadIntoText(kItemWorkgroup, kShortDrain, kShortLimit, state_.WorkgroupText, "workgroup");
}

int RequestRunner::SetWorkgroup() {
  return SetText(kItemSetWorkgroup, state_.WorkgroupText.view());
}

int RequestRunner::SetCodepage() {
  return SetText(kItemSetCodepage, state_.CodepageText.view());
}

int RequestRunner::ReadCodepage() {
  return ReadIntoText(kItemCodepage, kLongDrain, kShortLimit, state_.CodepageText, "codepage");
}

int RequestRunner::SendRw() {
  return SetText(kItemRw, state_.RwText.view());
}

int RequestRunner::ReadIdeOk() {
  return ReadIntoText(kItemIdeOk, kLongDrain, kMediumLimit, state_.IdeOkText, "ideok");
}

int RequestRunner::ReadShareName() {
  return ReadIntoText(kItemShareName, kLongDrain, kMediumLimit, state_.ShareNameText, "sharename");
}

int RequestRunner::SendStop() {
  return SetText(kItemStop, state_.StopText.view());
}

}  // namespace corvane::protocol
