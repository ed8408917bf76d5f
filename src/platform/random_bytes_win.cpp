// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>
// after windows.h
#include <bcrypt.h>

#include <limits>

#include "platform/random_bytes.h"

namespace corvane::platform {

bool FillRandomBytes(std::uint8_t* bytes, std::size_t length) {
  if (length > std::numeric_limits<ULONG>::max()) return false;
  return BCRYPT_SUCCESS(::BCryptGenRandom(nullptr, bytes, static_cast<ULONG>(length),
                                          BCRYPT_USE_SYSTEM_PREFERRED_RNG));
}

}  // namespace corvane::platform
