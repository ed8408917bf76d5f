// SPDX-License-Identifier: GPL-3.0-or-later
#include "language/payload_catalogue.h"

#include <algorithm>
#include <array>

#include "resources/payload_blobs.h"

namespace corvane::language {

namespace {

using Catalogue = std::array<Payload, resources::kEmbeddedPayloadCount>;

Catalogue BuildCatalogue() {
  Catalogue catalogue;
  for (std::size_t i = 0; i < catalogue.size(); ++i) {
    const resources::EmbeddedPayload& embedded = resources::kEmbeddedPayloads[i];
    catalogue[i] = Payload{embedded.id, embedded.fileName,
                           std::span<const std::uint8_t>(embedded.bytes, embedded.size)};
  }
  return catalogue;
}

const Catalogue& TheCatalogue() {
  static const Catalogue catalogue = BuildCatalogue();
  return catalogue;
}

}  // namespace

std::span<const Payload> AllPayloads() {
  return TheCatalogue();
}

std::optional<Payload> LookUpPayload(int id) {
  const Catalogue& catalogue = TheCatalogue();
  const auto found = std::lower_bound(catalogue.begin(), catalogue.end(), id,
                                      [](const Payload& p, int key) { return p.id < key; });
  if (found == catalogue.end() || found->id != id) return std::nullopt;
  return *found;
}

std::string_view PayloadFileName(int id) {
  const std::optional<Payload> payload = LookUpPayload(id);
  return payload ? payload->fileName : std::string_view();
}

}  // namespace corvane::language
