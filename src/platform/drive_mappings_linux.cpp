// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/drive_mappings.h"

namespace corvane::platform {

namespace {

// Linux has no drive letters; until shares are mounted through letters of our own, every
// letter is free and none is connected.
class LinuxDriveMappings : public DriveMappings {
 public:
  std::optional<std::string> GetConnection(char /*letter*/) const override { return std::nullopt; }
  DriveType GetDriveType(char /*letter*/) const override { return DriveType::kNoRootDir; }
};

}  // namespace

std::unique_ptr<DriveMappings> MakeDriveMappings() {
  return std::make_unique<LinuxDriveMappings>();
}

}  // namespace corvane::platform
