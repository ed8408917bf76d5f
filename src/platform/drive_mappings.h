// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The local drive letters: which are connected to a network share, and of what kind each is.

#include <memory>
#include <optional>
#include <string>

namespace corvane::platform {

enum class DriveType {
  kUnknown = 0,    // the type cannot be determined
  kNoRootDir = 1,  // no such drive: the letter is free
  kRemovable = 2,
  kFixed = 3,
  kRemote = 4,
  kCdRom = 5,
  kRamDisk = 6,
};

class DriveMappings {
 public:
  virtual ~DriveMappings() = default;
  // The remote name "\\server\share" of the letter's network connection; empty when it has
  // none (or the letter is not A-Z).
  virtual std::optional<std::string> GetConnection(char letter) const = 0;
  virtual DriveType GetDriveType(char letter) const = 0;
};

// The running system's drive letters. Linux has none yet: no mappings, every letter free.
std::unique_ptr<DriveMappings> MakeDriveMappings();

}  // namespace corvane::platform
