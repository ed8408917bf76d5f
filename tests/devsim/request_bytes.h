// SPDX-License-Identifier: GPL-3.0-or-later
// Requests as a searching program lays them out, written independently of the devsim code so
// that a layout slip on either side shows up in the tests.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace corvane::devsim::testing {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::array<std::uint8_t, 10> kClient{0xc1, 0xc2, 0xc3, 0xc4, 0xc5,
                                                      0xc6, 0,    0,    0,    0};

inline void PutLe32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline void PutHead(Bytes& bytes, std::uint8_t opcode, const std::array<std::uint8_t, 10>& client) {
  bytes[0] = opcode;
  for (int i = 0; i < 10; ++i) bytes[1 + i] = client[i];
}

// deviceId: six identifier bytes then the four address octets.
inline void PutTarget(Bytes& bytes, const std::array<std::uint8_t, 6>& id,
                      const std::array<std::uint8_t, 4>& address) {
  for (int i = 0; i < 6; ++i) bytes[11 + i] = id[i];
  for (int i = 0; i < 4; ++i) bytes[17 + i] = address[i];
}

inline Bytes Discovery(const std::array<std::uint8_t, 10>& client = kClient) {
  Bytes bytes(11, 0);
  PutHead(bytes, 1, client);
  return bytes;
}

inline Bytes Read(const std::array<std::uint8_t, 6>& id, const std::array<std::uint8_t, 4>& address,
                  std::uint8_t item, const std::string& payload = {},
                  const std::array<std::uint8_t, 10>& client = kClient) {
  Bytes bytes(28 + payload.size(), 0);
  PutHead(bytes, 3, client);
  PutTarget(bytes, id, address);
  bytes[21] = item;
  PutLe32(bytes, 24, static_cast<std::uint32_t>(payload.size()));
  for (std::size_t i = 0; i < payload.size(); ++i)
    bytes[28 + i] = static_cast<std::uint8_t>(payload[i]);
  return bytes;
}

inline std::string Credentials(const std::string& user, const std::string& password) {
  return user + "\x55\xaa" + password;
}

inline Bytes Set(const std::array<std::uint8_t, 6>& id, const std::array<std::uint8_t, 4>& address,
                 std::uint8_t item, const std::string& payload, const std::string& netmask = {},
                 const std::string& gateway = {},
                 const std::array<std::uint8_t, 10>& client = kClient) {
  Bytes bytes(60 + payload.size(), 0);
  PutHead(bytes, 5, client);
  PutTarget(bytes, id, address);
  bytes[21] = item;
  for (std::size_t i = 0; i < netmask.size() && i < 16; ++i)
    bytes[24 + i] = static_cast<std::uint8_t>(netmask[i]);
  for (std::size_t i = 0; i < gateway.size() && i < 16; ++i)
    bytes[40 + i] = static_cast<std::uint8_t>(gateway[i]);
  PutLe32(bytes, 56, static_cast<std::uint32_t>(payload.size()));
  for (std::size_t i = 0; i < payload.size(); ++i)
    bytes[60 + i] = static_cast<std::uint8_t>(payload[i]);
  return bytes;
}

inline std::uint32_t Le32(const Bytes& bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(bytes.at(offset)) |
         static_cast<std::uint32_t>(bytes.at(offset + 1)) << 8 |
         static_cast<std::uint32_t>(bytes.at(offset + 2)) << 16 |
         static_cast<std::uint32_t>(bytes.at(offset + 3)) << 24;
}

// Text of a zero-padded field, or of the rest of the datagram when width is 0.
inline std::string Text(const Bytes& bytes, std::size_t offset, std::size_t width = 0) {
  std::string text;
  std::size_t end = width == 0 ? bytes.size() : offset + width;
  for (std::size_t i = offset; i < end && i < bytes.size() && bytes[i] != 0; ++i) {
    text += static_cast<char>(bytes[i]);
  }
  return text;
}

inline std::string AddressAt17(const Bytes& bytes) {
  return std::to_string(bytes.at(17)) + "." + std::to_string(bytes.at(18)) + "." +
         std::to_string(bytes.at(19)) + "." + std::to_string(bytes.at(20));
}

}  // namespace corvane::devsim::testing
