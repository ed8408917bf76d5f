// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The local drive letters: which are connected to a network share, of what kind each is, and
// connecting and disconnecting them.
//
// Linux has no drive letters, so Corvane keeps its own: a letter D-Z stands for an SMB share
// mounted through GVfs in the user's own session (it shows in the file manager), recorded in
// $XDG_STATE_HOME/corvane/letters (default ~/.local/state/corvane/letters) with the remote name
// exactly as it was mapped. The share's files are reachable at its GVfs folder
// ($XDG_RUNTIME_DIR/gvfs/smb-share:server=host,share=share) and through the link
// ~/.local/state/corvane/drives/<letter>. A remembered letter whose mount is gone (after a
// logout or reboot, or an unmount elsewhere) has no connection, and the letter is free again.
// Whether a mount is there comes from GIO's list of the session's mounts, never from the mount's
// folder, whose FUSE server may not answer.
//
// Every Corvane process of the user sees and changes the same letters; a change checks and
// records under one lock, so two processes cannot both take a letter. All calls may come from
// any thread; those that wait (AddConnection, CancelConnection, Unavailable) return within a
// few times the bound of the options, so run them off a window's thread.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::platform {

enum class DriveType {
  kUnknown,    // the type cannot be determined
  kNoRootDir,  // no such drive: the letter is free
  kLocal,      // a disk or medium of this computer: never offered for a share
  kRemote,
};

// Results of connecting and disconnecting: 0 is success, anything else a refusal.
enum class DriveResult {
  kOk = 0,
  kBadLocalName,     // not one of the letters D-Z
  kBadRemoteName,    // not "\\host\share", or a host or share name that could point elsewhere
  kUnavailable,      // letters cannot be connected here at all: Unavailable() says why
  kLoginNeeded,      // the share needs a user and password, or refused the ones given
  kTimedOut,         // no answer within the bound
  kAlreadyAssigned,  // the letter is connected: cancel that connection first
  kNotConnected,     // the letter has no connection
  kFilesOpen,        // not forced, and files are open (or a program works) on the drive
  kNoFolder,         // mounted, but GVfs gives the share no folder (gvfs-fuse is missing)
  kStateFile,        // the record of the letters could not be written
  kFailed,           // any other failure: no such host or share, refused by the server
};

class DriveMappings {
 public:
  virtual ~DriveMappings() = default;
  // The remote name "\\server\share" of the letter's network connection, exactly as it was
  // mapped; empty when it has none (or the letter is not A-Z).
  virtual std::optional<std::string> GetConnection(char letter) const = 0;
  // kRemote for a connected letter, kNoRootDir for a free one.
  virtual DriveType GetDriveType(char letter) const = 0;
  // The folder any program can open the connected share's files in; empty when the letter has
  // no connection.
  virtual std::optional<std::string> GetFolder(char letter) const = 0;

  // Connects the letter to remote ("\\host\share"). An empty user connects anonymously (as a
  // guest); otherwise user and password log in. A share already mounted in the session (by the
  // file manager, or for another letter) is used as it is.
  virtual DriveResult AddConnection(char letter, std::string_view remote, std::string_view user,
                                    std::string_view password) = 0;
  // Disconnects the letter. Not forced, it refuses while any program of the user holds a file
  // open on the drive or works in one of its folders: the system would pull the share away
  // under them and their unsaved data would be lost. The share stays mounted while another
  // letter still stands on it.
  virtual DriveResult CancelConnection(char letter, bool force) = 0;

  // Empty when letters can be connected here; otherwise one line that says what is missing
  // (no session bus on a headless machine, no GVfs). Returns within the bound.
  virtual std::string Unavailable() const = 0;
};

struct DriveMappingOptions {
  std::string stateFolder;  // empty: $XDG_STATE_HOME/corvane, or ~/.local/state/corvane
  // The longest a mount, an unmount or the session check may wait for an answer.
  std::chrono::milliseconds bound{10000};
  // The GVfs locations ("smb://host/share/") of the shares mounted in the session now, nothing
  // when that cannot be told. Unset: GIO's own list, which asks no server and touches no
  // mount's folder. Tests of the letters' own logic give theirs.
  std::function<std::optional<std::vector<std::string>>()> mountedShares;
};

// The running system's drive letters.
std::unique_ptr<DriveMappings> MakeDriveMappings();
std::unique_ptr<DriveMappings> MakeDriveMappings(const DriveMappingOptions& options);

}  // namespace corvane::platform
