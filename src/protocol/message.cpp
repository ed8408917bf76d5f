// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/message.h"

#include <algorithm>
#include <cstring>

#include "protocol/address_text.h"

namespace corvane::protocol {
namespace {

void PutByte(RequestBuffer& buffer, std::size_t offset, std::uint8_t value) {
  buffer[offset] = value;
}

void PutBytes(RequestBuffer& buffer, std::size_t offset, const void* bytes, std::size_t length) {
  // Callers keep requests far below the buffer size; the clamp only guards the bound.
  const std::size_t room = offset < buffer.size() ? buffer.size() - offset : 0;
  std::memcpy(buffer.data() + offset, bytes, std::min(length, room));
}

void PutLength32(RequestBuffer& buffer, std::size_t offset, std::size_t length) {
  const auto value = static_cast<std::uint32_t>(length);
  for (std::size_t i = 0; i < 4; ++i) {
    buffer[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

std::uint32_t GetLength32(Datagram datagram, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    value |= static_cast<std::uint32_t>(datagram[offset + i]) << (8 * i);
  }
  return value;
}

std::string_view TextAt(Datagram datagram, std::size_t offset, std::size_t width) {
  const char* start = reinterpret_cast<const char*>(datagram.data() + offset);
  return {start, ::strnlen(start, std::min(width, datagram.size() - offset))};
}

std::size_t PutHeader(RequestBuffer& buffer, std::uint8_t opcode, const ClientIdBytes& clientId) {
  PutByte(buffer, 0, opcode);
  PutBytes(buffer, kClientIdOffset, clientId.data(), clientId.size());
  return kClientIdOffset + kClientIdLength;
}

void PutTarget(RequestBuffer& buffer, const DeviceIdBytes& deviceId, std::uint8_t item) {
  PutBytes(buffer, kDeviceIdOffset, deviceId.data(), deviceId.size());
  PutByte(buffer, kItemOffset, item);
}

// Longest payload that still fits behind a header of the given length.
std::size_t PayloadRoom(std::size_t headerLength) {
  return kRequestCapacity - headerLength;
}

}  // namespace

std::size_t BuildDiscovery(RequestBuffer& buffer, const ClientIdBytes& clientId) {
  return PutHeader(buffer, kOpDiscoveryRequest, clientId);
}

std::size_t BuildRead(RequestBuffer& buffer, const ClientIdBytes& clientId,
                      const DeviceIdBytes& deviceId, std::uint8_t item) {
  PutHeader(buffer, kOpReadRequest, clientId);
  PutTarget(buffer, deviceId, item);
  PutLength32(buffer, kReadPayloadLengthOffset, 0);
  return kReadHeaderLength;
}

std::size_t BuildCredentialsRead(RequestBuffer& buffer, const ClientIdBytes& clientId,
                                 const DeviceIdBytes& deviceId, std::string_view userName,
                                 std::string_view password) {
  BuildRead(buffer, clientId, deviceId, kItemCredentials);
  const std::size_t room = PayloadRoom(kReadHeaderLength) - sizeof kCredentialsSeparator;
  userName = userName.substr(0, room);
  password = password.substr(0, room - userName.size());
  std::size_t offset = kReadHeaderLength;
  PutBytes(buffer, offset, userName.data(), userName.size());
  offset += userName.size();
  PutBytes(buffer, offset, kCredentialsSeparator, sizeof kCredentialsSeparator);
  offset += sizeof kCredentialsSeparator;
  PutBytes(buffer, offset, password.data(), password.size());
  offset += password.size();
  PutLength32(buffer, kReadPayloadLengthOffset, offset - kReadHeaderLength);
  return offset;
}

std::size_t BuildSet(RequestBuffer& buffer, const ClientIdBytes& clientId,
                     const DeviceIdBytes& deviceId, std::uint8_t item, const FixedText<16>& netmask,
                     const FixedText<16>& gateway, std::string_view payload) {
  PutHeader(buffer, kOpSetRequest, clientId);
  PutTarget(buffer, deviceId, item);
  PutBytes(buffer, kSetNetmaskOffset, netmask.bytes().data(), kSetAddressFieldWidth);
  PutBytes(buffer, kSetGatewayOffset, gateway.bytes().data(), kSetAddressFieldWidth);
  payload = payload.substr(0, PayloadRoom(kSetHeaderLength));
  PutLength32(buffer, kSetPayloadLengthOffset, payload.size());
  PutBytes(buffer, kSetHeaderLength, payload.data(), payload.size());
  return kSetHeaderLength + payload.size();
}

std::size_t BuildSetDhcp(RequestBuffer& buffer, const ClientIdBytes& clientId,
                         const DeviceIdBytes& deviceId) {
  PutHeader(buffer, kOpSetRequest, clientId);
  PutTarget(buffer, deviceId, kItemDhcp);
  PutLength32(buffer, kSetPayloadLengthOffset, 0);
  return kSetHeaderLength;
}

FixedText<16> FormatAddress(std::span<const std::uint8_t, 4> octets) {
  return FixedText<16>(ToDotted({octets[0], octets[1], octets[2], octets[3]}));
}

bool IsFromThisClient(Datagram datagram, const ClientIdBytes& clientId) {
  if (datagram.size() < kClientIdOffset + kClientIdMatchLength) return false;
  return std::equal(clientId.begin(), clientId.begin() + kClientIdMatchLength,
                    datagram.begin() + kClientIdOffset);
}

std::optional<FixedText<16>> ReplyAddress(Datagram datagram) {
  if (datagram.size() < kReplyAddressEnd) return std::nullopt;
  return FormatAddress(datagram.subspan<kReplyAddressOffset, 4>());
}

bool AcceptDiscoveryReply(Datagram datagram, const ClientIdBytes& clientId, int firstFilter,
                          int secondFilter) {
  if (datagram.empty() || !IsFromThisClient(datagram, clientId)) return false;
  if (datagram[0] == kOpDiscoveryReply) return datagram.size() >= kDiscoveryReplyHeaderLength;
  if (datagram[0] != kOpDiscoveryReplyExt || datagram.size() < kDiscoveryReplyExtHeaderLength) {
    return false;
  }
  const bool firstMatches = firstFilter == 0 || datagram[kMatchCode1Offset] == firstFilter;
  const bool secondMatches = secondFilter == 0 || datagram[kMatchCode2Offset] == secondFilter;
  return firstMatches && secondMatches;
}

std::optional<DiscoveryReplyFields> ReadDiscoveryReply(Datagram datagram) {
  if (datagram.empty()) return std::nullopt;
  std::size_t header = 0;
  std::size_t lengthOffset = 0;
  if (datagram[0] == kOpDiscoveryReply) {
    header = kDiscoveryReplyHeaderLength;
    lengthOffset = kDiscoveryNameLengthOffset;
  } else if (datagram[0] == kOpDiscoveryReplyExt) {
    header = kDiscoveryReplyExtHeaderLength;
    lengthOffset = kDiscoveryExtNameLengthOffset;
  } else {
    return std::nullopt;
  }
  if (datagram.size() < header) return std::nullopt;

  DiscoveryReplyFields fields;
  const std::size_t announced = GetLength32(datagram, lengthOffset);
  const std::size_t nameLength = std::min({announced, kMaxNameLength, datagram.size() - header});
  fields.name.Set({reinterpret_cast<const char*>(datagram.data() + header), nameLength});
  fields.address = *ReplyAddress(datagram);
  fields.netmask.Set(TextAt(datagram, kReplyNetmaskOffset, kReplyTextFieldWidth));
  fields.gateway.Set(TextAt(datagram, kReplyGatewayOffset, kReplyTextFieldWidth));
  fields.dhcpFlag.Set(TextAt(datagram, kDhcpFlagOffset, 1));
  std::copy_n(datagram.begin() + kDeviceIdOffset, kDeviceIdLength, fields.deviceId.begin());
  return fields;
}

std::string_view ReadReplyValue(Datagram datagram) {
  if (datagram.size() <= kReadReplyValueOffset) return {};
  return TextAt(datagram, kReadReplyValueOffset, datagram.size() - kReadReplyValueOffset);
}

void FillShareList(ShareEntryList& list, std::string_view value) {
  while (!value.empty()) {
    const std::size_t cut = value.find(':');
    const std::string_view piece = value.substr(0, cut);
    value = cut == std::string_view::npos ? std::string_view() : value.substr(cut + 1);
    const FixedText<132> name(piece);  // cut first, so names equal after the cut count once
    if (name.empty()) continue;
    if (list.FindShare(name.view()) == 0) list.AddShare(name.view());
  }
}

}  // namespace corvane::protocol
