// SPDX-License-Identifier: GPL-3.0-or-later
// The thirteen read and set requests of a session, and the steps they share.

#include <algorithm>
#include <optional>
#include <span>
#include <string>

#include "protocol/exchange.h"
#include "protocol/message.h"
#include "protocol/session.h"

namespace corvane::protocol {
namespace {

ExchangePlan ReadPlan(int drainRounds, int pollLimit, const FixedText<16>& address) {
  return ExchangePlan{kOpReadReply, drainRounds, address, pollLimit};
}

ExchangePlan SetPlan(int pollLimit, std::optional<FixedText<16>> address) {
  return ExchangePlan{kOpSetReply, 0, std::move(address), pollLimit};
}

}  // namespace

class Session::RequestSteps {
 public:
  explicit RequestSteps(Session& session) : session_(session) {}

  // The selected device as the requests address it.
  struct Target {
    int interfaceIndex = 0;
    DeviceIdBytes deviceId{};
  };

  std::optional<Target> FindTarget() const {
    const DeviceRecord* record =
        session_.DeviceTable.FindDeviceByAddress(session_.SelectedAddress.view());
    if (record == nullptr) return std::nullopt;
    // A record from an earlier transport could name an interface that no longer exists.
    if (record->interfaceIndex < 0 || record->interfaceIndex >= session_.InterfaceCount) {
      return std::nullopt;
    }
    return Target{record->interfaceIndex, record->deviceId};
  }

  bool Exchange(const Target& target, const RequestBuffer& request, std::size_t length,
                const ExchangePlan& plan, ReceiveBuffer& reply) {
    return RunExchange(session_.RequestIo(), target.interfaceIndex, session_.ClientId,
                       std::span<const std::uint8_t>(request.data(), length), plan, reply);
  }

  // Read request without payload; the accepted reply's value, or nothing.
  std::optional<std::string> ReadValue(std::uint8_t item, int drainRounds, int pollLimit) {
    const std::optional<Target> target = FindTarget();
    if (!target) return std::nullopt;
    RequestBuffer request{};
    const std::size_t length = BuildRead(request, session_.ClientId, target->deviceId, item);
    ReceiveBuffer reply;
    if (!Exchange(*target, request, length,
                  ReadPlan(drainRounds, pollLimit, session_.SelectedAddress), reply)) {
      return std::nullopt;
    }
    return std::string(ReadReplyValue(reply.datagram()));
  }

  template <std::size_t N>
  int ReadIntoText(std::uint8_t item, int drainRounds, int pollLimit, FixedText<N>& text,
                   std::string_view traceName) {
    const std::optional<std::string> value = ReadValue(item, drainRounds, pollLimit);
    if (!value) return 0;
    text.Set(*value);  // cut to the text's capacity
    Trace(traceName, text.view());
    return 1;
  }

  // Set request with a text payload and the selected address as the reply test.
  int SetText(std::uint8_t item, std::string_view payload) {
    const std::optional<Target> target = FindTarget();
    if (!target) return 0;
    RequestBuffer request{};
    const std::size_t length = BuildSet(request, session_.ClientId, target->deviceId, item,
                                        session_.NewNetmask, session_.NewGateway, payload);
    ReceiveBuffer reply;
    return Exchange(*target, request, length, SetPlan(kShortLimit, session_.SelectedAddress), reply)
               ? 1
               : 0;
  }

  void MoveSelectedDevice(const FixedText<16>& newAddress, const std::uint8_t* octets,
                          bool takeNetmaskAndGateway) {
    DeviceRecord* record =
        session_.DeviceTable.FindDeviceByAddress(session_.SelectedAddress.view());
    if (record != nullptr) {
      record->address = newAddress;
      std::copy_n(octets, 4, record->deviceId.begin() + kDeviceIdAddressOffset);
      if (takeNetmaskAndGateway) {
        record->netmask = session_.NewNetmask;
        record->gateway = session_.NewGateway;
      }
    }
    session_.SelectedAddress = newAddress;
  }

 private:
  void Trace(std::string_view name, std::string_view value) const {
    std::string line;
    line.reserve(name.size() + value.size() + 2);
    line.append(name).append("=").append(value).append("\n");
    session_.TraceLine(line);
  }

  Session& session_;
};

int Session::SetAddress() {
  RequestSteps steps(*this);
  const std::optional<RequestSteps::Target> target = steps.FindTarget();
  if (!target) return 0;
  RequestBuffer request{};
  const std::size_t length = BuildSet(request, ClientId, target->deviceId, kItemAddress, NewNetmask,
                                      NewGateway, NewAddress.view());
  ReceiveBuffer reply;
  if (!steps.Exchange(*target, request, length, SetPlan(kLongLimit, NewAddress), reply)) return 0;
  const FixedText<16> newAddress = NewAddress;
  steps.MoveSelectedDevice(newAddress, reply.bytes.data() + kReplyAddressOffset, true);
  return 1;
}

int Session::SetDhcp() {
  RequestSteps steps(*this);
  const std::optional<RequestSteps::Target> target = steps.FindTarget();
  if (!target) return 0;
  RequestBuffer request{};
  const std::size_t length = BuildSetDhcp(request, ClientId, target->deviceId);
  ReceiveBuffer reply;
  // The address the device takes cannot be foreseen, so any reply to this run is taken.
  if (!steps.Exchange(*target, request, length, SetPlan(kLongLimit, std::nullopt), reply)) {
    return 0;
  }
  const std::optional<FixedText<16>> newAddress = ReplyAddress(reply.datagram());
  steps.MoveSelectedDevice(*newAddress, reply.bytes.data() + kReplyAddressOffset, false);
  return 1;
}

int Session::ReadShareList() {
  // Emptied first, so a failed read leaves no names of another device behind.
  ShareList.ClearShareList();
  const std::optional<std::string> value =
      RequestSteps(*this).ReadValue(kItemShareList, kLongDrain, kMediumLimit);
  if (!value) return 0;
  FillShareList(ShareList, *value);
  return 1;
}

int Session::CheckCredentials() {
  return AnswerCredentials().value_or(0);
}

std::optional<int> Session::AnswerCredentials() {
  RequestSteps steps(*this);
  const std::optional<RequestSteps::Target> target = steps.FindTarget();
  if (!target) return std::nullopt;
  RequestBuffer request{};
  const std::size_t length = BuildCredentialsRead(request, ClientId, target->deviceId,
                                                  LoginUserName.view(), LoginPassword.view());
  ReceiveBuffer reply;
  // The answer is taken on opcode, ClientId and address alone. Without a drain, a reply still
  // queued from an earlier read (a device that answers twice, or late) would be read as this
  // answer: a share list would prove any password, an old refusal would refuse the right one.
  if (!steps.Exchange(*target, request, length,
                      ReadPlan(kCredentialsDrain, kShortLimit, SelectedAddress), reply)) {
    return std::nullopt;
  }
  const std::string_view value = ReadReplyValue(reply.datagram());
  if (value.empty()) return 0;
  return static_cast<std::int8_t>(static_cast<std::uint8_t>(value.front()));
}

int Session::SetHostName() {
  return RequestSteps(*this).SetText(kItemHostName, HostNameText.view());
}

int Session::ReadWorkgroup() {
  return RequestSteps(*this).ReadIntoText(kItemWorkgroup, kShortDrain, kShortLimit, WorkgroupText,
                                          "workgroup");
}

int Session::SetWorkgroup() {
  return RequestSteps(*this).SetText(kItemSetWorkgroup, WorkgroupText.view());
}

int Session::SetCodepage() {
  return RequestSteps(*this).SetText(kItemSetCodepage, CodepageText.view());
}

int Session::ReadCodepage() {
  return RequestSteps(*this).ReadIntoText(kItemCodepage, kLongDrain, kShortLimit, CodepageText,
                                          "codepage");
}

int Session::SendRw() {
  return RequestSteps(*this).SetText(kItemRw, RwText.view());
}

int Session::ReadIdeOk() {
  return RequestSteps(*this).ReadIntoText(kItemIdeOk, kLongDrain, kMediumLimit, IdeOkText, "ideok");
}

int Session::ReadShareName() {
  return RequestSteps(*this).ReadIntoText(kItemShareName, kLongDrain, kMediumLimit, ShareNameText,
                                          "sharename");
}

int Session::SendStop() {
  return RequestSteps(*this).SetText(kItemStop, StopText.view());
}

}  // namespace corvane::protocol
