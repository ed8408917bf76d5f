// SPDX-License-Identifier: GPL-3.0-or-later
// Any share-list value: names must come out non-empty, colon-free, within capacity and unique.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "protocol/message.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace corvane::protocol;
  const std::string_view value(reinterpret_cast<const char*>(data), size);
  ShareEntryList list;
  FillShareList(list, value);
  for (const ShareEntry& entry : list) {
    const std::string_view name = entry.name.view();
    if (name.empty() || name.size() > 131 || name.find(':') != std::string_view::npos) {
      __builtin_trap();
    }
    int seen = 0;
    for (const ShareEntry& other : list) seen += other.name == name ? 1 : 0;
    if (seen != 1) __builtin_trap();
  }
  return 0;
}
