// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Corvane's own record of its drive letters, shared by every Corvane process of the user: one
// line per letter with the remote name exactly as it was mapped, the GVfs location of the
// mount and the mount's folder. Beside it, folder "drives" holds one link per letter to that
// folder.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace corvane::platform {

struct DriveLetterRecord {
  char letter = 0;     // 'D' to 'Z'
  std::string remote;  // "\\HOST\Share" as mapped
  std::string uri;     // "smb://host/share/" as GVfs names the mount
  std::string folder;  // the mount's folder, <mount root>/smb-share:...
};

class DriveLetterFile {
 public:
  // folder: where the record and the links live; created on the first change. mountRoot: the
  // folder GVfs shows its mounts in; a record whose folder lies elsewhere, or that names no SMB
  // share, is no record of ours and is skipped.
  DriveLetterFile(std::string folder, std::string mountRoot);

  // The records as last written (none while there is no file); lines that do not read back
  // cleanly are skipped. Empty when the record cannot be read: it is not a regular file, it is
  // larger than any record of 23 letters could be, or reading it failed. Needs no lock: the
  // file is only ever replaced whole.
  std::optional<std::vector<DriveLetterRecord>> Read() const;

  // Runs change on the current records while holding the lock that every Corvane process takes
  // for a change, so that what it checks still holds when it acts. When change returns true,
  // its records replace the file and the links follow; when it returns false, nothing is
  // written. False when the lock could not be had within the wait, the record could not be read
  // (change did not run then, and the file is kept as it is) or could not be written.
  bool Update(const std::function<bool(std::vector<DriveLetterRecord>&)>& change,
              std::chrono::milliseconds lockWait);

  std::string LinkPath(char letter) const;
  const std::string& folder() const { return folder_; }

  // $XDG_STATE_HOME/corvane, or ~/.local/state/corvane; empty when there is no home folder.
  static std::string DefaultFolder();

 private:
  bool ValidRecord(const DriveLetterRecord& record) const;
  bool Write(const std::vector<DriveLetterRecord>& records) const;
  void SyncLinks(const std::vector<DriveLetterRecord>& records) const;
  void RemoveLeftoverTemporaries() const;

  std::string folder_;
  std::string mountRoot_;
};

}  // namespace corvane::platform
