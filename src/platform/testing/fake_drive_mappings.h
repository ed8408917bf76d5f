// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// DriveMappings with settable connections and drive types. Unless set, a letter has no
// connection and is free (no root directory).

#include <array>
#include <optional>
#include <string>
#include <utility>

#include "platform/drive_mappings.h"

namespace corvane::platform::testing {

class FakeDriveMappings : public DriveMappings {
 public:
  FakeDriveMappings() { types_.fill(DriveType::kNoRootDir); }

  // remote is "\\server\share"; an empty optional removes the connection. Letters outside A-Z
  // are ignored, as the system ignores them.
  void SetConnection(char letter, std::optional<std::string> remote) {
    if (const int row = Row(letter); row >= 0) connections_[row] = std::move(remote);
  }
  void SetDriveType(char letter, DriveType type) {
    if (const int row = Row(letter); row >= 0) types_[row] = type;
  }
  // A network drive: connected and of type remote.
  void Connect(char letter, std::string remote) {
    SetConnection(letter, std::move(remote));
    SetDriveType(letter, DriveType::kRemote);
  }

  std::optional<std::string> GetConnection(char letter) const override {
    const int row = Row(letter);
    return row >= 0 ? connections_[row] : std::nullopt;
  }
  DriveType GetDriveType(char letter) const override {
    const int row = Row(letter);
    return row >= 0 ? types_[row] : DriveType::kNoRootDir;
  }

 private:
  static int Row(char letter) {
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    return letter >= 'A' && letter <= 'Z' ? letter - 'A' : -1;
  }

  std::array<std::optional<std::string>, 26> connections_{};
  std::array<DriveType, 26> types_{};
};

}  // namespace corvane::platform::testing
