// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Devices speak single-byte texts; the window shows Unicode.

#include <QString>
#include <string>
#include <string_view>

class QLineEdit;

namespace corvane::app {

// UTF-8 when the bytes are valid UTF-8, otherwise Latin-1, so no byte is ever lost on screen.
QString FromDeviceText(std::string_view bytes);
std::string ToDeviceText(const QString& text);

// Edits that show a device's text also keep the bytes it came as, so that text the user has not
// changed goes back to the device byte for byte: a name in a legacy code page would otherwise
// come back re-encoded as UTF-8. Call after the edit shows FromDeviceText(bytes).
void RememberDeviceBytes(QLineEdit* edit, std::string_view bytes);
// The remembered bytes while the edit still shows them, else the edit's text as UTF-8.
std::string DeviceEditText(const QLineEdit* edit);

}  // namespace corvane::app
