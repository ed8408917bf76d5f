// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/exchange.h"

#include <vector>

namespace corvane::protocol {
namespace {

using Clock = std::chrono::steady_clock;

// Datagrams that are not counted (failed reads, other opcodes) may stretch a wait this far and
// no further; a stream of them from any host on the network could otherwise hold it for ever.
constexpr int kTimeLimitFactor = 2;

// A search that hears nothing: both sends with their pauses, every poll waiting its full time.
constexpr std::chrono::milliseconds kNominalSearch =
    kDiscoverySends * kDiscoverySendPause + kDiscoveryPollsPerInterface * kPollWait +
    (kDiscoveryPollsPerInterface - 1) * kDiscoveryPollPause;

// An exchange that gets no answer: the drain, then limit + 1 counted polls and limit pauses.
std::chrono::milliseconds NominalExchange(const ExchangePlan& plan) {
  return (plan.drainRounds + plan.pollLimit + 1) * kPollWait + plan.pollLimit * kExchangePollPause;
}

using HeardReplies = std::vector<std::vector<DiscoveryReplyFields>>;

void SendDiscoveryBursts(ExchangeIo& io, int interfaceCount,
                         std::span<const std::uint8_t> request) {
  for (int send = 0; send < kDiscoverySends; ++send) {
    for (int i = 0; i < interfaceCount; ++i) io.Send(i, request);
    io.Sleep(kDiscoverySendPause);
  }
}

// Takes what one joint poll read and counts it per interface; true when an interface that
// counted a poll still has polls to go, which calls for the pause.
bool TakeRound(std::span<InterfacePoll> round, const ClientIdBytes& clientId, int firstFilter,
               int secondFilter, std::vector<int>& polls, HeardReplies& heard) {
  bool pause = false;
  for (InterfacePoll& poll : round) {
    if (poll.outcome == PollOutcome::kFailed) continue;  // not counted, no pause of its own
    const auto i = static_cast<std::size_t>(poll.interfaceIndex);
    if (poll.outcome == PollOutcome::kDatagram &&
        AcceptDiscoveryReply(poll.buffer.datagram(), clientId, firstFilter, secondFilter)) {
      if (auto fields = ReadDiscoveryReply(poll.buffer.datagram())) heard[i].push_back(*fields);
    }
    pause |= ++polls[i] < kDiscoveryPollsPerInterface;
  }
  return pause;
}

// Rounds of one joint poll over every interface that has polls to go, each followed by the
// pause, until every interface has had its polls or the time is up.
HeardReplies ListenForDiscoveryReplies(ExchangeIo& io, int interfaceCount,
                                       const ClientIdBytes& clientId, int firstFilter,
                                       int secondFilter, Clock::time_point deadline) {
  const auto count = static_cast<std::size_t>(interfaceCount);
  HeardReplies heard(count);
  std::vector<int> polls(count, 0);
  std::vector<InterfacePoll> listening(count);
  for (std::size_t i = 0; i < count; ++i) listening[i].interfaceIndex = static_cast<int>(i);
  while (!listening.empty() && io.Now() < deadline) {
    io.PollTogether(listening);
    const bool pause = TakeRound(listening, clientId, firstFilter, secondFilter, polls, heard);
    std::erase_if(listening, [&](const InterfacePoll& poll) {
      return polls[static_cast<std::size_t>(poll.interfaceIndex)] == kDiscoveryPollsPerInterface;
    });
    if (pause) io.Sleep(kDiscoveryPollPause);
  }
  return heard;
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

void AddDiscoveredDevice(const DiscoveryReplyFields& fields, int interfaceIndex,
                         DeviceRecordList& table) {
  if (table.FindDeviceByAddress(fields.address.view()) != nullptr) return;
  table.AddDevice(fields.name.view(), fields.address.view(), fields.netmask.view(),
                  fields.gateway.view(), fields.dhcpFlag.view(), fields.deviceId, interfaceIndex);
}

void RunSearch(ExchangeIo& io, int interfaceCount, const ClientIdBytes& clientId, int firstFilter,
               int secondFilter, DeviceRecordList& table) {
  table.ClearDeviceTable();
  if (interfaceCount <= 0) return;
  const Clock::time_point deadline = io.Now() + kTimeLimitFactor * kNominalSearch;
  RequestBuffer request{};
  const std::size_t length = BuildDiscovery(request, clientId);
  SendDiscoveryBursts(io, interfaceCount, std::span<const std::uint8_t>(request.data(), length));
  const HeardReplies heard =
      ListenForDiscoveryReplies(io, interfaceCount, clientId, firstFilter, secondFilter, deadline);
  for (std::size_t i = 0; i < heard.size(); ++i) {
    for (const DiscoveryReplyFields& fields : heard[i]) {
      AddDiscoveredDevice(fields, static_cast<int>(i), table);
    }
  }
}

bool RunExchange(ExchangeIo& io, int interfaceIndex, const ClientIdBytes& clientId,
                 std::span<const std::uint8_t> request, const ExchangePlan& plan,
                 ReceiveBuffer& reply) {
  const Clock::time_point deadline = io.Now() + kTimeLimitFactor * NominalExchange(plan);
  for (int round = 0; round < plan.drainRounds; ++round) io.Poll(interfaceIndex, reply);
  reply = ReceiveBuffer{};
  io.Send(interfaceIndex, request);

  int polls = 0;
  while (io.Now() < deadline) {
    const PollOutcome outcome = io.Poll(interfaceIndex, reply);
    if (outcome == PollOutcome::kFailed) continue;
    if (outcome == PollOutcome::kDatagram) {
      if (reply.length == 0 || reply.bytes[0] != plan.awaitedOpcode) continue;
      if (IsAcceptedReply(reply, clientId, plan)) return true;
    }
    if (++polls > plan.pollLimit) return false;
    io.Sleep(kExchangePollPause);
  }
  return false;  // as if no answer had come
}

}  // namespace corvane::protocol
