// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/drive_map.h"

#include "platform/ascii_case.h"
#include "platform/unc_path.h"

namespace corvane::app {
namespace {

using platform::DriveType;
using platform::EqualIgnoringCase;

char LetterOf(std::size_t row) {
  return static_cast<char>('A' + row);
}

bool OfferedForMapping(char letter, DriveType type) {
  return letter > 'C' && type != DriveType::kLocal;
}

// "\\server\share" or "\\server\share\folder": the host, and the rest as the share. A name
// that is no network path names no share we could match, so the row is left without a
// connection rather than keeping an older one.
void StoreConnection(DriveMapEntry& row, std::string_view remoteName) {
  const std::optional<platform::UncPath> path = platform::ParseUncPath(remoteName);
  std::string share = path ? path->share : "";
  for (const std::string& folder : path ? path->folders : std::vector<std::string>{}) {
    share += "\\" + folder;
  }
  row.host.Set(path ? path->host : "");
  row.share.Set(share);
}

}  // namespace

void ScanDriveMappings(DriveMapTable& table, const platform::DriveMappings& system) {
  for (std::size_t row = 0; row < table.size(); ++row) {
    DriveMapEntry& entry = table[row];
    const char letter = LetterOf(row);
    entry.drive.Set(std::string{letter, ':'});
    const std::optional<std::string> remoteName = system.GetConnection(letter);
    if (!remoteName) {
      entry.host.Clear();
      entry.share.Clear();
      continue;
    }
    StoreConnection(entry, *remoteName);
  }
}

DriveComboContent MakeDriveComboContent(const DriveMapTable& table,
                                        const platform::DriveMappings& system) {
  DriveComboContent content;
  for (std::size_t row = 0; row < table.size(); ++row) {
    const DriveMapEntry& entry = table[row];
    const char letter = LetterOf(row);
    if (!OfferedForMapping(letter, system.GetDriveType(letter))) continue;
    if (!entry.host.empty() && !entry.share.empty()) {
      content.entries.push_back(entry.drive.str() + " \\\\" + entry.host.str() + "\\" +
                                entry.share.str());
      continue;
    }
    if (content.selection < 0) content.selection = static_cast<int>(content.entries.size());
    content.entries.push_back(entry.drive.str());
  }
  return content;
}

int FindDriveLetter(const DriveComboContent& content, std::string_view entry) {
  // Every entry begins with its letter and a colon.
  const std::string_view letter = entry.substr(0, 2);
  if (letter.size() < 2) return -1;
  for (std::size_t index = 0; index < content.entries.size(); ++index) {
    if (std::string_view(content.entries[index]).substr(0, 2) == letter) {
      return static_cast<int>(index);
    }
  }
  return -1;
}

std::string DriveForShare(const DriveMapTable& table, std::string_view deviceName,
                          std::string_view deviceAddress, std::string_view shareName,
                          bool hostIgnoreCase) {
  const auto hostMatches = [&](std::string_view host) {
    if (hostIgnoreCase) {
      return EqualIgnoringCase(host, deviceName) || EqualIgnoringCase(host, deviceAddress);
    }
    return host == deviceName || host == deviceAddress;
  };
  std::string drive;
  for (const DriveMapEntry& entry : table) {
    // A letter without a connection must never look connected, even to a nameless device.
    if (entry.host.empty()) continue;
    if (hostMatches(entry.host.view()) && EqualIgnoringCase(entry.share.view(), shareName)) {
      drive = entry.drive.str();
    }
  }
  return drive;
}

}  // namespace corvane::app
