// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace corvane::cli {

// Asks on the terminal without echo. std::nullopt when standard input is no terminal or the
// input ended.
std::optional<std::string> AskSecretOnTerminal(std::string_view prompt);

}  // namespace corvane::cli
