// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Corvane's texts are UTF-8; Windows' calls take and give UTF-16. Every text crosses here.

#include <string>
#include <string_view>

namespace corvane::platform {

// Bytes that are no UTF-8 become U+FFFD, as do lone surrogates the other way.
std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

// The system's message for a Windows error code, in UTF-8 without its line break.
std::string SystemMessage(unsigned long error);

}  // namespace corvane::platform
