// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The local drive letters and the network share each one is connected to, as the Drive combo
// and the "Connect to" column of the share list show them.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drive_mappings.h"
#include "protocol/fixed_text.h"

namespace corvane::app {

struct DriveMapEntry {
  protocol::FixedText<132> host;   // server part of the connection; empty when none
  protocol::FixedText<256> share;  // share part of the connection; empty when none
  protocol::FixedText<8> drive;    // "Z:"
};

inline constexpr int kDriveLetters = 26;
using DriveMapTable = std::array<DriveMapEntry, kDriveLetters>;  // row k is letter 'A' + k

// Rewrites every row from what the system reports now.
void ScanDriveMappings(DriveMapTable& table, const platform::DriveMappings& system);

struct DriveComboContent {
  std::vector<std::string> entries;  // letter order: "D:", "Z: \\server\docs"
  int selection = -1;                // the first free letter; -1 when none is free
};

// The letters a share may be mapped to: never A-C, never a local disk or medium. Requires a
// scanned table.
DriveComboContent MakeDriveComboContent(const DriveMapTable& table,
                                        const platform::DriveMappings& system);

// The index of the entry for the same drive letter as entry ("E:" or "E: \\host\share"), or -1.
int FindDriveLetter(const DriveComboContent& content, std::string_view entry);

// The drive letter ("Z:") that the share of the device is connected to, or empty. The host of a
// connection may name the device or its address; share names always match ignoring case. When
// several letters match, the last one wins.
std::string DriveForShare(const DriveMapTable& table, std::string_view deviceName,
                          std::string_view deviceAddress, std::string_view shareName,
                          bool hostIgnoreCase);

}  // namespace corvane::app
