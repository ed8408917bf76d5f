// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <string>

#include "platform/drive_mappings.h"

namespace corvane::app::test {

// Drive letters as a test sets them up: every letter is a free remote-capable letter (no root
// directory) unless told otherwise; a connection makes a letter remote.
class DriveTestDouble : public platform::DriveMappings {
 public:
  std::optional<std::string> GetConnection(char letter) const override {
    const auto found = connections_.find(letter);
    if (found == connections_.end()) return std::nullopt;
    return found->second;
  }
  platform::DriveType GetDriveType(char letter) const override {
    const auto found = types_.find(letter);
    if (found != types_.end()) return found->second;
    return connections_.count(letter) != 0 ? platform::DriveType::kRemote
                                           : platform::DriveType::kNoRootDir;
  }
  void Connect(char letter, std::string remoteName) {
    connections_[letter] = std::move(remoteName);
  }
  void Disconnect(char letter) { connections_.erase(letter); }
  void SetType(char letter, platform::DriveType type) { types_[letter] = type; }

 private:
  std::map<char, std::string> connections_;
  std::map<char, platform::DriveType> types_;
};

}  // namespace corvane::app::test
