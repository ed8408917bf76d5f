// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shares mounted in the user's own session through GIO and GVfs: what the drive letters stand
// on. Every call returns within its bound.

#include <chrono>
#include <optional>
#include <string>

namespace corvane::platform::gvfs {

enum class Outcome {
  kOk,
  kLoginNeeded,  // the share wants credentials the call did not have, or refused them
  kTimedOut,
  kUnsupported,  // GIO cannot reach GVfs, or GVfs has no SMB backend
  kBusy,         // GVfs itself refuses to unmount a share in use
  kNotMounted,
  kFailed,
};

struct Login {
  std::string user;  // empty: anonymous
  std::string password;
};

struct Mounted {
  std::string rootUri;  // as GVfs names it: smb://host/share/ in lower case
  std::string folder;   // its FUSE folder; empty when GVfs has none (gvfs-fuse missing)
};

// Empty when shares can be mounted here; otherwise one line saying what is missing.
std::string SessionProblem(std::chrono::milliseconds bound);

// Mounts smb://host/share. A share that is already mounted counts as mounted.
Outcome Mount(const std::string& uri, const Login& login, std::chrono::milliseconds bound);

// The mount that holds uri, when there is one.
std::optional<Mounted> Locate(const std::string& uri, std::chrono::milliseconds bound);

Outcome Unmount(const std::string& uri, bool force, std::chrono::milliseconds bound);

// Whether the FUSE folder of a mount is there: GVfs lists every mount of the session, and
// only those, in the folder's parent. Asks no server.
bool FolderListed(const std::string& folder);

}  // namespace corvane::platform::gvfs
