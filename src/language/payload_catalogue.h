// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace corvane::language {

// A file that the language installer writes onto a device: its resource id,
// the file name it gets on the device, and its bytes (to be written unchanged
// and in full).
struct Payload {
  int id = 0;
  std::string_view fileName;
  std::span<const std::uint8_t> bytes;
};

// Every payload, ordered by id.
std::span<const Payload> AllPayloads();

// The payload with this resource id, or nothing when the catalogue has no such id.
std::optional<Payload> LookUpPayload(int id);

// The device file name for a resource id, or an empty view for an unknown id.
std::string_view PayloadFileName(int id);

}  // namespace corvane::language
