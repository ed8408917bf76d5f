// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/client_id.h"

#include <sys/random.h>

#include <cerrno>
#include <random>

namespace corvane::protocol {
namespace {

constexpr std::size_t kRandomBytes = 6;

bool FillFromKernel(std::uint8_t* bytes, std::size_t length) {
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

}  // namespace

ClientIdBytes DrawClientId() {
  ClientIdBytes id{};
  if (!FillFromKernel(id.data(), kRandomBytes)) {
    std::random_device device;
    for (std::size_t i = 0; i < kRandomBytes; ++i) id[i] = static_cast<std::uint8_t>(device());
  }
  return id;
}

}  // namespace corvane::protocol
