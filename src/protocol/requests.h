// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The thirteen read and set requests, working on a session's state through any ExchangeIo.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "protocol/exchange.h"
#include "protocol/message.h"
#include "protocol/session.h"

namespace corvane::protocol {

using TraceSink = std::function<void(std::string_view)>;

class RequestRunner {
 public:
  RequestRunner(Session& state, ExchangeIo& io, const TraceSink& trace)
      : state_(state), io_(io), trace_(trace) {}

  int SetAddress();
  int SetDhcp();
  int ReadShareList();
  int CheckCredentials();
  int SetHostName();
  int ReadWorkgroup();
  int SetWorkgroup();
  int SetCodepage();
  int ReadCodepage();
  int SendRw();
  int ReadIdeOk();
  int ReadShareName();
  int SendStop();

 private:
  // The selected device as the requests address it.
  struct Target {
    int interfaceIndex = 0;
    DeviceIdBytes deviceId{};
  };
  std::optional<Target> FindTarget() const;
  bool Exchange(const Target& target, const RequestBuffer& request, std::size_t length,
                const ExchangePlan& plan, ReceiveBuffer& reply);
  // Read request without payload; the accepted reply's value, or nothing.
  std::optional<std::string> ReadValue(std::uint8_t item, int drainRounds, int pollLimit);
  template <std::size_t N>
  int ReadIntoText(std::uint8_t item, int drainRounds, int pollLimit, FixedText<N>& text,
                   std::string_view traceName);
  // Set request with a text payload and the selected address as the reply test.
  int SetText(std::uint8_t item, std::string_view payload);
  void MoveSelectedDevice(const FixedText<16>& newAddress, const std::uint8_t* octets,
                          bool takeNetmaskAndGateway);
  void Trace(std::string_view name, std::string_view value) const;

  Session& state_;
  ExchangeIo& io_;
  const TraceSink& trace_;
};

}  // namespace corvane::protocol
