// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The password file's own rule differs by system: only its owner may read it, as the system
// tells (password_file_linux.cpp: no permission for group or others; password_file_win.cpp:
// no one but the owner, the system and the administrators in its access list).

#include <optional>
#include <string>

#include "cli/password_input.h"

namespace corvane::cli {

// The first at most kMaxPasswordLineBytes bytes of a file only its owner may read, as a
// password; or its refusal.
PasswordReading ReadPasswordFile(const std::string& path);

// What both systems share: the first line, without its line break (LF or CR LF); empty when
// there are no bytes at all.
std::optional<std::string> FirstLine(std::string bytes);
PasswordReading RefusedPassword(std::string refusal);
PasswordReading PasswordFromFileBytes(const std::string& path, std::string bytes);

}  // namespace corvane::cli
