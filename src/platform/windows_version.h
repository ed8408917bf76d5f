// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Names the running Windows version from its version record. Callers only test the name by
// case-sensitive substring: "ME" and "98" (login), "NT" and "Vista" (drive mapping).

#include <optional>
#include <string>

#include "platform/system_info.h"

namespace corvane::platform {

inline constexpr char kUnknownWindowsVersion[] = "unknown Windows version";

// Sets name and returns 1; with no record (the system refused to report it) the name is
// "unknown Windows version" and the result 0.
int GetWindowsVersionName(const std::optional<OsVersionRecord>& record, std::string& name);

}  // namespace corvane::platform
