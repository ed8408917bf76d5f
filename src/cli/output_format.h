// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "operations/device_view.h"
#include "operations/drive_mapping.h"

namespace corvane::cli {

using operations::DeviceDetails;
using operations::DeviceView;

// A JSON string literal, quotes included, written by nlohmann-json. Texts from the network are
// bytes: valid UTF-8 passes through, any other text is read as Latin-1 with every byte above
// 0x7F as \u00XX.
std::string JsonString(std::string_view bytes);

// The text for a terminal: every character that would steer the terminal rather than show
// (C0 and C1 controls, escape sequences among them, and bidirectional overrides) as '?'.
std::string TerminalSafe(std::string_view bytes);

// One line for a terminal: made safe as above, with its own line break kept (or added).
std::string TerminalLine(std::string_view line);

std::string FormatDeviceTable(const std::vector<DeviceView>& devices);
std::string FormatDevicesJson(const std::vector<DeviceView>& devices);
std::string FormatDetailsText(const DeviceDetails& details);
std::string FormatDetailsJson(const DeviceDetails& details);
std::string FormatDrivesTable(const std::vector<operations::MappedDrive>& drives);
std::string FormatDrivesJson(const std::vector<operations::MappedDrive>& drives);

}  // namespace corvane::cli
