// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shares mounted in the user's own session through GIO and GVfs: what the drive letters stand
// on. Every call returns within its bound.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "platform/secret_text.h"

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

struct Mounted {
  std::string rootUri;  // as GVfs names it: smb://host/share/ in lower case
  std::string folder;   // its FUSE folder; empty when GVfs has none (gvfs-fuse missing)
};

// Empty when shares can be mounted here; otherwise one line saying what is missing.
std::string SessionProblem(std::chrono::milliseconds bound);

// Mounts smb://host/share, anonymously when login has no user. A share that is already mounted
// counts as mounted. The login is wiped once GVfs has it, or when the call ends.
Outcome Mount(const std::string& uri, Credentials login, std::chrono::milliseconds bound);

// The mount that holds uri, when there is one. GVfs tells GIO of a new mount a moment after
// the mount call returns: the look is repeated for up to monitorWait until one is found.
std::optional<Mounted> Locate(const std::string& uri, std::chrono::milliseconds bound,
                              std::chrono::milliseconds monitorWait);

// Unmounts the mount whose root is exactly rootUri (as Mounted::rootUri names it).
Outcome Unmount(const std::string& rootUri, bool force, std::chrono::milliseconds bound);

// The session's mounts as GIO knows them, without asking any server or touching their folders;
// empty when GIO did not answer within the bound.
std::optional<std::vector<Mounted>> ListMounts(std::chrono::milliseconds bound);

// The folder GVfs shows the session's mounts in ($XDG_RUNTIME_DIR/gvfs).
std::string MountRoot();

// Waits until a mount's folder is listed in its parent (listed) or no longer is (!listed);
// false when that did not happen within the wait. GVfs lists every mount of the session, and
// only those, in the folder's parent. The folder is served by a FUSE daemon, which may not
// answer at all: the listing runs in a child process that is killed when the wait is over.
bool WaitForFolder(const std::string& folder, bool listed, std::chrono::milliseconds wait);

}  // namespace corvane::platform::gvfs
