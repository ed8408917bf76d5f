// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace corvane::platform {

// The system's words for an errno value, as strerror gives them on Linux. Windows' C library
// knows only the classic values and calls the network ones (ETIMEDOUT, EHOSTUNREACH...)
// "Unknown error"; they read as on Linux there too.
std::string ErrorText(int error);

}  // namespace corvane::platform
