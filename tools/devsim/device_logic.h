// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "device_config.h"
#include "device_state.h"
#include "messages.h"

namespace corvane::devsim {

// The leg whose interface must be re-addressed before the reply goes out.
struct AddressChange {
  std::size_t leg = 0;
  AddressWithPrefix address;
};

struct Outcome {
  std::vector<std::uint8_t> reply;  // empty: the device stays quiet
  std::optional<AddressChange> addressChange;
  bool stateChanged = false;
};

// What one device does with one datagram, free of sockets and clocks so it can be tested
// byte for byte. The caller sends the reply and applies the address change.
class DeviceLogic {
 public:
  // A second discovery request from the same client on the same leg within this window counts
  // as the repeat of a burst.
  static constexpr std::int64_t kBurstWindowMs = 500;

  explicit DeviceLogic(DeviceConfig config);

  Outcome Handle(std::span<const std::uint8_t> datagram, std::size_t leg, std::int64_t receivedMs);
  bool SetSilent(bool silent);  // true if that changed anything
  // Back to the configured device, as if just started (the count of resets goes on). Returns the
  // legs that must be re-addressed for it.
  std::vector<AddressChange> Reset();

  const DeviceConfig& Config() const { return config_; }
  const DeviceState& State() const { return state_; }

  // Which leg's address the device reports (and answers to) on a leg.
  std::size_t IdentityLeg(std::size_t leg) const;
  DeviceIdentity Identity(std::size_t leg) const;

 private:
  Outcome Discover(const Request& request, std::size_t leg, std::int64_t receivedMs);
  Outcome Read(const Request& request, std::size_t leg);
  Outcome Set(const Request& request, std::size_t leg);
  bool IsRepeatOfBurst(const ClientId& clientId, std::size_t leg, std::int64_t receivedMs);
  bool CredentialsMatch(std::span<const std::uint8_t> payload) const;
  std::optional<AddressChange> SetStaticAddress(const Request& request, std::size_t leg);
  AddressChange SwitchToDhcp(std::size_t leg);

  DeviceConfig config_;
  DeviceState state_;
  std::map<std::pair<ClientId, std::size_t>, std::int64_t> lastDiscovery_;
};

}  // namespace corvane::devsim
