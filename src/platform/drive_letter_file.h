// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Corvane's own record of its drive letters, shared by every Corvane process of the user: one
// line per letter with the remote name exactly as it was mapped, the GVfs location of the
// mount and the mount's folder. Beside it, folder "drives" holds one link per letter to that
// folder.

#include <functional>
#include <string>
#include <vector>

namespace corvane::platform {

struct DriveLetterRecord {
  char letter = 0;     // 'D' to 'Z'
  std::string remote;  // "\\HOST\Share" as mapped
  std::string uri;     // "smb://host/share/" as GVfs names the mount
  std::string folder;  // the mount's folder, $XDG_RUNTIME_DIR/gvfs/smb-share:...
};

class DriveLetterFile {
 public:
  // folder: where the record and the links live; created on the first change.
  explicit DriveLetterFile(std::string folder);

  // The records as last written; lines that do not read back cleanly are skipped. Needs no
  // lock: the file is only ever replaced whole.
  std::vector<DriveLetterRecord> Read() const;

  // Applies change to the current records while holding the lock that every Corvane process
  // takes for a change, then replaces the file and brings the links in line. False when the
  // lock could not be had within two seconds or the file could not be written.
  bool Update(const std::function<void(std::vector<DriveLetterRecord>&)>& change);

  std::string LinkPath(char letter) const;
  const std::string& folder() const { return folder_; }

  // $XDG_STATE_HOME/corvane, or ~/.local/state/corvane; empty when there is no home folder.
  static std::string DefaultFolder();

 private:
  bool Write(const std::vector<DriveLetterRecord>& records) const;
  void SyncLinks(const std::vector<DriveLetterRecord>& records) const;

  std::string folder_;
};

}  // namespace corvane::platform
