// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/subnet_test.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace corvane::app {

bool DeviceInLocalSubnet(const validation::Octets& device, const validation::Octets& mask,
                         std::string_view localInterfaceAddress) {
  // The interface table holds well-formed addresses; a text that does not parse counts as
  // 0.0.0.0, which only a zero mask lets pass.
  std::uint32_t address = 0;
  validation::ParseDottedAddress(localInterfaceAddress, &address);
  std::array<std::uint8_t, 4> bytes{};
  std::memcpy(bytes.data(), &address, bytes.size());
  const validation::Octets local{bytes[0], bytes[1], bytes[2], bytes[3]};
  return validation::SameSubnet(device, mask, local);
}

}  // namespace corvane::app
