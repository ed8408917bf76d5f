// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/exchange.h"

#include "protocol/message.h"

namespace corvane::protocol {
namespace {

void RecordDiscoveryReply(std::span<const std::uint8_t> datagram, int interfaceIndex,
                          DeviceRecordList& table) {
  const std::optional<DiscoveryReplyFields> fields = ReadDiscoveryReply(datagram);
  if (!fields) return;
  // The first reply read for an address wins, so a device heard on two interfaces keeps the
  // lower index.
  if (table.FindDeviceByAddress(fields->address.view()) != nullptr) return;
  table.AddDevice(fields->name.view(), fields->address.view(), fields->netmask.view(),
                  fields->gateway.view(), fields->dhcpFlag.view(), fields->deviceId,
                  interfaceIndex);
}

void SendDiscoveryBurst(ExchangeIo& io, int interfaceIndex, std::span<const std::uint8_t> request) {
  for (int send = 0; send < kDiscoverySends; ++send) {
    io.Send(interfaceIndex, request);
    io.Sleep(kDiscoverySendPause);
  }
}

void ListenForDiscoveryReplies(ExchangeIo& io, int interfaceIndex, const ClientIdBytes& clientId,
                               int firstFilter, int secondFilter, DeviceRecordList& table) {
  ReceiveBuffer buffer;
  int polls = 0;
  while (true) {
    const PollOutcome outcome = io.Poll(interfaceIndex, buffer);
    if (outcome == PollOutcome::kFailed) continue;  // not counted, no pause
    if (outcome == PollOutcome::kDatagram &&
        AcceptDiscoveryReply(buffer.datagram(), clientId, firstFilter, secondFilter)) {
      RecordDiscoveryReply(buffer.datagram(), interfaceIndex, table);
    }
    if (++polls == kDiscoveryPollsPerInterface) return;
    io.Sleep(kDiscoveryPollPause);
  }
}

bool IsAcceptedReply(const ReceiveBuffer& buffer, const ClientIdBytes& clientId,
                     const ExchangePlan& plan) {
  const std::span<const std::uint8_t> datagram = buffer.datagram();
  if (!IsFromThisClient(datagram, clientId)) return false;
  const std::optional<FixedText<16>> address = ReplyAddress(datagram);
  if (!address) return false;  // too short to name a device
  return !plan.expectedAddress || *address == *plan.expectedAddress;
}

}  // namespace

void RunSearch(ExchangeIo& io, int interfaceCount, const ClientIdBytes& clientId, int firstFilter,
               int secondFilter, DeviceRecordList& table) {
  table.ClearDeviceTable();
  RequestBuffer request{};
  const std::size_t length = BuildDiscovery(request, clientId);
  const std::span<const std::uint8_t> bytes(request.data(), length);
  for (int i = 0; i < interfaceCount; ++i) {
    SendDiscoveryBurst(io, i, bytes);
    ListenForDiscoveryReplies(io, i, clientId, firstFilter, secondFilter, table);
  }
}

bool RunExchange(ExchangeIo& io, int interfaceIndex, const ClientIdBytes& clientId,
                 std::span<const std::uint8_t> request, const ExchangePlan& plan,
                 ReceiveBuffer& reply) {
  for (int round = 0; round < plan.drainRounds; ++round) io.Poll(interfaceIndex, reply);
  reply = ReceiveBuffer{};
  io.Send(interfaceIndex, request);

  int polls = 0;
  while (true) {
    const PollOutcome outcome = io.Poll(interfaceIndex, reply);
    if (outcome == PollOutcome::kFailed) continue;
    if (outcome == PollOutcome::kDatagram) {
      if (reply.length == 0 || reply.bytes[0] != plan.awaitedOpcode) continue;
      if (IsAcceptedReply(reply, clientId, plan)) return true;
    }
    if (++polls > plan.pollLimit) return false;
    io.Sleep(kExchangePollPause);
  }
}

}  // namespace corvane::protocol
