// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

namespace corvane::resources {

// One payload as the build embedded it (see tools/payloads/generate.py).
struct EmbeddedPayload {
  int id;
  const char* fileName;
  const unsigned char* bytes;
  std::size_t size;
};

inline constexpr std::size_t kEmbeddedPayloadCount = 41;

// Ordered by id.
extern const EmbeddedPayload kEmbeddedPayloads[kEmbeddedPayloadCount];

}  // namespace corvane::resources
