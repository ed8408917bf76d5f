// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Letter case as the devices and SMB compare names: the ASCII letters only, whatever the user's
// locale says of other bytes.

#include <algorithm>
#include <string_view>

namespace corvane::platform {

constexpr char ToAsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return ToAsciiLower(x) == ToAsciiLower(y); });
}

}  // namespace corvane::platform
