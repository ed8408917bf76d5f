// SPDX-License-Identifier: GPL-3.0-or-later
// A stream of arbitrary datagrams fed to a search and to an exchange: the loops' acceptance
// tests and address parsing must hold whatever arrives.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <vector>

#include "protocol/exchange.h"
#include "protocol/message.h"

namespace {

using namespace corvane::protocol;

// Input layout: repeated [length byte][datagram bytes]; a length of 255 means a failed read.
class ScriptedIo : public ExchangeIo {
 public:
  ScriptedIo(const std::uint8_t* data, std::size_t size) {
    std::size_t at = 0;
    while (at < size) {
      const std::size_t length = data[at++];
      if (length == 255) {
        script_.push_back({true, {}});
        continue;
      }
      const std::size_t take = std::min(length * 4, size - at);  // up to ~1 KB per datagram
      script_.push_back({false, std::vector<std::uint8_t>(data + at, data + at + take)});
      at += take;
    }
  }
  void Send(int, std::span<const std::uint8_t>) override {}
  PollOutcome Poll(int, ReceiveBuffer& buffer) override {
    if (script_.empty()) return PollOutcome::kNothing;
    Step step = std::move(script_.front());
    script_.pop_front();
    if (step.failed) return PollOutcome::kFailed;
    buffer.length = std::min(step.bytes.size(), kReceiveCapacity);
    std::copy_n(step.bytes.begin(), buffer.length, buffer.bytes.begin());
    buffer.bytes[buffer.length] = 0;
    return PollOutcome::kDatagram;
  }
  void PollTogether(std::span<InterfacePoll> polls) override {
    for (InterfacePoll& poll : polls) poll.outcome = Poll(poll.interfaceIndex, poll.buffer);
  }
  void Sleep(std::chrono::milliseconds) override {}
  // A clock that stands still: the loops must end by their counts alone.
  std::chrono::steady_clock::time_point Now() override { return {}; }

 private:
  struct Step {
    bool failed;
    std::vector<std::uint8_t> bytes;
  };
  std::deque<Step> script_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ClientIdBytes clientId{0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  {
    ScriptedIo io(data, size);
    DeviceRecordList table;
    RunSearch(io, 2, clientId, 6, 6, table);
    if (table.count() > 2 * kDiscoveryPollsPerInterface) __builtin_trap();
  }
  {
    ScriptedIo io(data, size);
    ExchangePlan plan{kOpReadReply, kShortDrain, FixedText<16>("0.0.0.0"), kShortLimit};
    ReceiveBuffer reply;
    const std::uint8_t request[] = {3};
    if (RunExchange(io, 0, clientId, request, plan, reply)) {
      if (reply.length < kReplyAddressEnd || reply.bytes[0] != kOpReadReply) __builtin_trap();
      (void)ReadReplyValue(reply.datagram());
    }
  }
  return 0;
}
