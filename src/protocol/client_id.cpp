// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/client_id.h"

#include <random>

#include "platform/random_bytes.h"

namespace corvane::protocol {
namespace {

constexpr std::size_t kRandomBytes = 6;

}  // namespace

ClientIdBytes DrawClientId() {
  ClientIdBytes id{};
  if (!platform::FillRandomBytes(id.data(), kRandomBytes)) {
    std::random_device device;
    for (std::size_t i = 0; i < kRandomBytes; ++i) id[i] = static_cast<std::uint8_t>(device());
  }
  return id;
}

}  // namespace corvane::protocol
