// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/random.h>

#include <cerrno>

#include "platform/random_bytes.h"

namespace corvane::platform {

bool FillRandomBytes(std::uint8_t* bytes, std::size_t length) {
  std::size_t filled = 0;
  while (filled < length) {
    const ssize_t got = ::getrandom(bytes + filled, length - filled, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    filled += static_cast<std::size_t>(got);
  }
  return true;
}

}  // namespace corvane::platform
