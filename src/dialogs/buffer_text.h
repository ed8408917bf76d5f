// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The protocol keeps its texts in fixed single-byte buffers (UTF-8 or plain ASCII); the
// windows hold QStrings. These convert between the two without splitting a character.

#include <QString>
#include <cstddef>
#include <string>
#include <string_view>

namespace corvane::dialogs {

QString FromBufferText(std::string_view text);

// UTF-8 of text, cut at a character border so that it takes at most maxBytes bytes.
std::string ToBufferText(const QString& text, std::size_t maxBytes);

}  // namespace corvane::dialogs
