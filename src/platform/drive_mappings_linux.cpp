// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cctype>
#include <thread>

#include "platform/drive_letter_file.h"
#include "platform/drive_mappings.h"
#include "platform/gvfs_shares_linux.h"
#include "platform/open_files.h"
#include "platform/unc_path.h"

namespace corvane::platform {
namespace {

using std::chrono::milliseconds;

// GVfs announces a new mount to its FUSE folder a moment after the mount call returns.
constexpr milliseconds kFolderWait{2000};
constexpr milliseconds kBusyWait{3000};

std::optional<char> MappableLetter(char letter) {
  const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  if (upper < 'D' || upper > 'Z') return std::nullopt;
  return upper;
}

DriveResult FromOutcome(gvfs::Outcome outcome) {
  switch (outcome) {
    case gvfs::Outcome::kOk:
      return DriveResult::kOk;
    case gvfs::Outcome::kLoginNeeded:
      return DriveResult::kLoginNeeded;
    case gvfs::Outcome::kTimedOut:
      return DriveResult::kTimedOut;
    case gvfs::Outcome::kUnsupported:
      return DriveResult::kUnavailable;
    case gvfs::Outcome::kBusy:
      return DriveResult::kFilesOpen;
    case gvfs::Outcome::kNotMounted:
      return DriveResult::kNotConnected;
    case gvfs::Outcome::kFailed:
      break;
  }
  return DriveResult::kFailed;
}

bool WaitForListing(const std::string& folder, bool listed) {
  const auto deadline = std::chrono::steady_clock::now() + kFolderWait;
  while (gvfs::FolderListed(folder) != listed) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(milliseconds(10));
  }
  return true;
}

bool Alive(const DriveLetterRecord& record) {
  return gvfs::FolderListed(record.folder);
}

class LinuxDriveMappings : public DriveMappings {
 public:
  explicit LinuxDriveMappings(const DriveMappingOptions& options)
      : file_(options.stateFolder.empty() ? DriveLetterFile::DefaultFolder() : options.stateFolder),
        bound_(options.bound) {}

  std::optional<std::string> GetConnection(char letter) const override {
    const std::optional<DriveLetterRecord> record = LiveRecord(letter);
    if (!record) return std::nullopt;
    return record->remote;
  }

  DriveType GetDriveType(char letter) const override {
    return LiveRecord(letter) ? DriveType::kRemote : DriveType::kNoRootDir;
  }

  std::optional<std::string> GetFolder(char letter) const override {
    const std::optional<DriveLetterRecord> record = LiveRecord(letter);
    if (!record) return std::nullopt;
    return record->folder;
  }

  DriveResult AddConnection(char letter, std::string_view remote, std::string_view user,
                            std::string_view password, bool /*interactive*/) override {
    const std::optional<char> local = MappableLetter(letter);
    if (!local) return DriveResult::kBadLocalName;
    const std::optional<UncPath> share = ParseShareName(remote);
    if (!share) return DriveResult::kBadRemoteName;
    if (LiveRecord(*local)) return DriveResult::kAlreadyAssigned;
    if (!Unavailable().empty()) return DriveResult::kUnavailable;

    const std::string uri = SmbUrl(*share);
    const gvfs::Outcome mounted =
        gvfs::Mount(uri, {std::string(user), std::string(password)}, bound_);
    if (mounted != gvfs::Outcome::kOk) return FromOutcome(mounted);
    const std::optional<gvfs::Mounted> mount = gvfs::Locate(uri, bound_);
    if (!mount) return DriveResult::kFailed;
    if (mount->folder.empty() || !WaitForListing(mount->folder, true)) {
      return DriveResult::kNoFolder;
    }
    DriveLetterRecord record{*local, std::string(remote), mount->rootUri, mount->folder};
    const bool recorded = file_.Update([&](std::vector<DriveLetterRecord>& records) {
      ForgetDeadAndLetter(records, *local);
      records.push_back(record);
    });
    return recorded ? DriveResult::kOk : DriveResult::kStateFile;
  }

  DriveResult CancelConnection(char letter, bool force) override {
    const std::optional<char> local = MappableLetter(letter);
    if (!local) return DriveResult::kBadLocalName;
    const std::optional<DriveLetterRecord> record = LiveRecord(*local);
    if (!record) {
      file_.Update([&](std::vector<DriveLetterRecord>& r) { ForgetDeadAndLetter(r, *local); });
      return DriveResult::kNotConnected;
    }
    if (!SharedWithAnotherLetter(*record)) {
      if (!force && FolderInUse(record->folder)) return DriveResult::kFilesOpen;
      if (const DriveResult unmounted = Unmount(*record, force); unmounted != DriveResult::kOk) {
        return unmounted;
      }
    }
    const bool recorded = file_.Update(
        [&](std::vector<DriveLetterRecord>& records) { ForgetDeadAndLetter(records, *local); });
    return recorded ? DriveResult::kOk : DriveResult::kStateFile;
  }

  std::string Unavailable() const override {
    if (file_.folder().empty()) {
      return "drive letters need a home folder to keep their record in, and there is none";
    }
    return gvfs::SessionProblem(bound_);
  }

 private:
  std::optional<DriveLetterRecord> LiveRecord(char letter) const {
    const std::optional<char> local = MappableLetter(letter);
    if (!local) return std::nullopt;
    for (const DriveLetterRecord& record : file_.Read()) {
      if (record.letter == *local) {
        if (Alive(record)) return record;
        return std::nullopt;
      }
    }
    return std::nullopt;
  }

  bool SharedWithAnotherLetter(const DriveLetterRecord& record) const {
    const std::vector<DriveLetterRecord> records = file_.Read();
    return std::any_of(records.begin(), records.end(), [&](const DriveLetterRecord& other) {
      return other.letter != record.letter && other.folder == record.folder && Alive(other);
    });
  }

  // A record whose mount is gone is forgotten at the next change: its letter is free, and it
  // must not come back when the same share is mounted again for another letter.
  static void ForgetDeadAndLetter(std::vector<DriveLetterRecord>& records, char letter) {
    std::erase_if(records,
                  [&](const DriveLetterRecord& r) { return r.letter == letter || !Alive(r); });
  }

  // GVfs calls a share busy while it still holds files that programs have already closed
  // (their closing reaches it a moment later through its FUSE folder), so a busy answer is
  // asked again for a while. No program of ours holds a file there: that was checked first.
  DriveResult Unmount(const DriveLetterRecord& record, bool force) const {
    const auto deadline = std::chrono::steady_clock::now() + kBusyWait;
    gvfs::Outcome outcome = gvfs::Unmount(record.uri, force, bound_);
    while (outcome == gvfs::Outcome::kBusy && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(milliseconds(100));
      outcome = gvfs::Unmount(record.uri, force, bound_);
    }
    // Gone either way: an unmount that lost a race with one made elsewhere still succeeded.
    if (outcome == gvfs::Outcome::kOk || outcome == gvfs::Outcome::kNotMounted) {
      WaitForListing(record.folder, false);
      return DriveResult::kOk;
    }
    if (!Alive(record)) return DriveResult::kOk;
    return FromOutcome(outcome);
  }

  DriveLetterFile file_;
  milliseconds bound_;
};

}  // namespace

std::unique_ptr<DriveMappings> MakeDriveMappings() {
  return MakeDriveMappings(DriveMappingOptions{});
}

std::unique_ptr<DriveMappings> MakeDriveMappings(const DriveMappingOptions& options) {
  return std::make_unique<LinuxDriveMappings>(options);
}

}  // namespace corvane::platform
