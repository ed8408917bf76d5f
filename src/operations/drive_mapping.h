// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Mapping a share of a device to a local drive letter, removing such a mapping, and the letters
// that are mapped now.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "operations/interaction.h"
#include "operations/texts.h"
#include "platform/drive_mappings.h"
#include "platform/reachability.h"

namespace corvane::operations {

// Attempts without credentials before the user is asked for them.
inline constexpr int kMappingAttempts = 6;

struct ShareServices {
  platform::DriveMappings& drives;
  platform::ReachabilityTest reachability = {};  // empty: a connection to the web port
};

struct MountRequest {
  std::string deviceName;      // as the device reports it; empty when none is known
  std::string deviceAddress;   // dotted
  std::string shareName;       // empty: no share was chosen
  std::optional<char> letter;  // empty: no drive letter was chosen
};

enum class MountOutcome {
  kNoShare,      // nothing was done
  kUnavailable,  // letters cannot be mapped here at all; nothing was asked
  kCancelled,    // the user cancelled the choice of mapping type
  kUnreachable,  // the device no longer answers; nothing was mapped or cancelled
  kNoLetter,     // nothing was mapped or cancelled
  // The name would point somewhere else than the device's share (a device name this program
  // could not have set: one holding a dot, a path separator or a control character, one that
  // reads as an address, or none at all); nothing was cancelled.
  kNameRefused,
  kFailed,  // every attempt was refused; a connection the letter had stays cancelled
  kMapped,
};

struct MountResult {
  MountOutcome outcome;
  std::string remote;  // \\host\share, from kNameRefused on
  platform::DriveResult lastAttempt = platform::DriveResult::kFailed;
  std::string unavailable;  // kUnavailable: what is missing, in one line
};

// Maps the share to the letter: asks for the mapping type, checks that the device still answers,
// cancels whatever the letter is connected to, then tries without credentials up to
// kMappingAttempts times and, when the share keeps refusing, asks for credentials and tries once
// more. An attempt that can only fail the same way again (no answer within the bound, say) ends
// the attempts at once. The credentials the user gives live only as long as the mapping.
MountResult MountShare(const ShareServices& services, const MountRequest& request,
                       Interaction& interaction);

enum class UnmountOutcome {
  kUnavailable,  // letters cannot be changed here at all
  kRefused,      // no connection, or files are open on the drive
  kDone,
};

struct UnmountResult {
  UnmountOutcome outcome;
  platform::DriveResult result = platform::DriveResult::kNotConnected;
  std::string unavailable;
};

// Disconnects the drive that driveText names by its first character ("Z:", or "Z: \\host\share"
// as the drive list shows it); never forced, so it refuses while files are open on the drive.
UnmountResult UnmountDrive(platform::DriveMappings& drives, std::string_view driveText,
                           Interaction& interaction);

struct MappedDrive {
  char letter;
  std::string remote;  // as it was mapped
  std::string folder;  // where any program opens its files
};

// The letters D-Z that are connected now, in letter order.
std::vector<MappedDrive> ListMappedDrives(const platform::DriveMappings& drives);

}  // namespace corvane::operations
