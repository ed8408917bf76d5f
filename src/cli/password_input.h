// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The password a command was given: --password P, or the first line of --password-file FILE
// (- for standard input). Whatever a command reads here it may send, but never show: messages
// name the source, never the text.

#include <istream>
#include <optional>
#include <string>

#include "cli/command_line.h"
#include "platform/secret_text.h"

namespace corvane::cli {

enum class PasswordSource { kNone, kOption, kFile, kStandardInput, kTerminal };

struct GivenPassword {
  std::optional<platform::SecretText> password;  // empty: none was given
  PasswordSource source = PasswordSource::kNone;
};

struct PasswordReading {
  GivenPassword given;
  std::string refusal;  // non-empty: the file was refused or unreadable (a usage error)
};

// More than any password a device or share takes; a longer first line is cut here and then
// refused for its length by the command.
inline constexpr std::size_t kMaxPasswordLineBytes = 1024;

// Reads the password of the command line, before anything is sent. A file (not -) must be a
// regular file that grants no permission to group or others, as ssh demands of a private key.
// standardInput is read for "-"; nullptr reads as empty.
PasswordReading ReadGivenPassword(const CommandLine& line, std::istream* standardInput);

}  // namespace corvane::cli
