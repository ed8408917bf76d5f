// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Devices speak single-byte texts; the window shows Unicode.

#include <QString>
#include <string>
#include <string_view>

namespace corvane::app {

// UTF-8 when the bytes are valid UTF-8, otherwise Latin-1, so no byte is ever lost on screen.
QString FromDeviceText(std::string_view bytes);
std::string ToDeviceText(const QString& text);

}  // namespace corvane::app
