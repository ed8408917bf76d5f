// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What `corvane set-language` prints besides messages: the list of languages, and the wait
// while the device restarts.

#include <chrono>
#include <functional>
#include <ostream>
#include <string>

namespace corvane::cli {

// One line per language: its codepage number and its name, in the window's order.
std::string FormatLanguageList();

// A device takes this long to restart with a new codepage; the window waits as long.
inline constexpr std::chrono::seconds kRestartWait{90};

using Sleeper = std::function<void(std::chrono::milliseconds)>;

// Waits `total`, showing how much has passed: on a terminal a bar redrawn in place every
// second, otherwise a line every ten seconds.
void ShowRestartWait(std::ostream& out, bool terminal, const Sleeper& sleep,
                     std::chrono::seconds total = kRestartWait);

}  // namespace corvane::cli
