// SPDX-License-Identifier: GPL-3.0-or-later
#include "messages.h"

#include <algorithm>
#include <cstring>

namespace corvane::devsim {

namespace {

constexpr std::size_t kDiscoveryRequestSize = 11;
constexpr std::size_t kReadHeader = 28;
constexpr std::size_t kSetHeader = 60;

std::uint32_t ReadLe32(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(bytes[offset]) |
         static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[offset + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

void WriteLe32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::string TextField(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t width) {
  std::string text;
  for (std::size_t i = offset; i < offset + width && bytes[i] != 0; ++i) {
    text += static_cast<char>(bytes[i]);
  }
  return text;
}

void WriteText(std::vector<std::uint8_t>& bytes, std::size_t offset, std::size_t width,
               const std::string& text) {
  std::size_t count = std::min(width, text.size());
  std::memcpy(bytes.data() + offset, text.data(), count);
}

void WriteHead(std::vector<std::uint8_t>& bytes, std::uint8_t opcode, const ClientId& clientId,
               const DeviceIdentity& device) {
  bytes[0] = opcode;
  std::copy(clientId.begin(), clientId.end(), bytes.begin() + 1);
  std::copy(device.id.begin(), device.id.end(), bytes.begin() + 11);
  for (int i = 0; i < 4; ++i) bytes[17 + i] = device.address.Octet(i);
}

DeviceIdentity ReadDeviceIdentity(std::span<const std::uint8_t> bytes) {
  DeviceIdentity device;
  std::copy(bytes.begin() + 11, bytes.begin() + 17, device.id.begin());
  // Network order, unlike the little-endian length fields.
  device.address.value = static_cast<std::uint32_t>(bytes[17]) << 24 |
                         static_cast<std::uint32_t>(bytes[18]) << 16 |
                         static_cast<std::uint32_t>(bytes[19]) << 8 | bytes[20];
  return device;
}

// Takes the payload announced by the length field at lengthOffset; nullopt if it overruns.
std::optional<std::vector<std::uint8_t>> ReadPayload(std::span<const std::uint8_t> bytes,
                                                     std::size_t lengthOffset,
                                                     std::size_t payloadOffset) {
  std::uint32_t length = ReadLe32(bytes, lengthOffset);
  if (length > bytes.size() - payloadOffset) return std::nullopt;
  auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(payloadOffset);
  return std::vector<std::uint8_t>(begin, begin + length);
}

}  // namespace

std::optional<Request> ParseRequest(std::span<const std::uint8_t> datagram) {
  if (datagram.size() < kDiscoveryRequestSize) return std::nullopt;
  Request request;
  request.opcode = datagram[0];
  std::copy(datagram.begin() + 1, datagram.begin() + 11, request.clientId.begin());
  if (request.opcode == kDiscoveryRequest) return request;
  std::size_t header = request.opcode == kReadRequest  ? kReadHeader
                       : request.opcode == kSetRequest ? kSetHeader
                                                       : 0;
  if (header == 0 || datagram.size() < header) return std::nullopt;
  request.target = ReadDeviceIdentity(datagram);
  request.item = datagram[21];
  std::optional<std::vector<std::uint8_t>> payload;
  if (request.opcode == kReadRequest) {
    payload = ReadPayload(datagram, 24, kReadHeader);
  } else {
    request.netmask = TextField(datagram, 24, 16);
    request.gateway = TextField(datagram, 40, 16);
    payload = ReadPayload(datagram, 56, kSetHeader);
  }
  if (!payload) return std::nullopt;
  request.payload = std::move(*payload);
  return request;
}

std::vector<std::uint8_t> BuildDiscoveryReply(const DiscoveryAnswer& answer) {
  bool extended = answer.form == 7;
  std::size_t lengthOffset = extended ? 68 : 56;
  std::string name = answer.name.substr(0, kMaxText);
  std::vector<std::uint8_t> bytes(lengthOffset + 4 + name.size(), 0);
  WriteHead(bytes, extended ? kDiscoveryReplyExt : kDiscoveryReply, answer.clientId, answer.device);
  bytes[21] = answer.dhcp ? '1' : '0';
  // 15 characters at most, so the field always keeps its terminating zero.
  WriteText(bytes, 24, 15, answer.netmask);
  WriteText(bytes, 40, 15, answer.gateway);
  if (extended) {
    bytes[56] = answer.matchCodes[0];
    bytes[57] = answer.matchCodes[1];
  }
  WriteLe32(bytes, lengthOffset, static_cast<std::uint32_t>(name.size()));
  WriteText(bytes, lengthOffset + 4, name.size(), name);
  return bytes;
}

std::vector<std::uint8_t> BuildReadReply(const ClientId& clientId, const DeviceIdentity& device,
                                         std::uint8_t item, const std::string& value) {
  std::vector<std::uint8_t> bytes(kReadHeader + value.size(), 0);
  WriteHead(bytes, kReadReply, clientId, device);
  bytes[21] = item;
  WriteLe32(bytes, 24, static_cast<std::uint32_t>(value.size()));
  WriteText(bytes, kReadHeader, value.size(), value);
  return bytes;
}

std::vector<std::uint8_t> BuildSetReply(const ClientId& clientId, const DeviceIdentity& device,
                                        std::uint8_t item) {
  std::vector<std::uint8_t> bytes(kReadHeader, 0);
  WriteHead(bytes, kSetReply, clientId, device);
  bytes[21] = item;
  return bytes;
}

}  // namespace corvane::devsim
