// SPDX-License-Identifier: GPL-3.0-or-later
// A read or set reply of any length: client match, the device address and the value.
#include <cstddef>
#include <cstdint>
#include <span>

#include "protocol/message.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace corvane::protocol;
  const ClientIdBytes clientId{1, 2, 3, 4, 5, 6, 0, 0, 0, 0};
  const std::span<const std::uint8_t> datagram(data, size);
  (void)IsFromThisClient(datagram, clientId);
  if (const auto address = ReplyAddress(datagram)) {
    if (address->size() < 7 || address->size() > 15) __builtin_trap();
  }
  const std::string_view value = ReadReplyValue(datagram);
  if (!value.empty() &&
      (value.data() < reinterpret_cast<const char*>(data) ||
       value.data() + value.size() > reinterpret_cast<const char*>(data) + size)) {
    __builtin_trap();  // the value must lie inside the datagram
  }
  FixedText<8> ideOk(value);
  FixedText<20> shareName(value);
  FixedText<32> workgroup(value);
  (void)ideOk;
  (void)shareName;
  (void)workgroup;
  return 0;
}
