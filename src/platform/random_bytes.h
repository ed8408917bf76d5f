// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

namespace corvane::platform {

// Fills the bytes from the system's cryptographic random source; false when it cannot.
bool FillRandomBytes(std::uint8_t* bytes, std::size_t length);

}  // namespace corvane::platform
