// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <atomic>
#include <cctype>
#include <thread>

#include "platform/drive_letter_file.h"
#include "platform/drive_mappings.h"
#include "platform/gvfs_shares_linux.h"
#include "platform/open_files.h"
#include "platform/translation.h"
#include "platform/unc_path.h"

namespace corvane::platform {
namespace {

using std::chrono::milliseconds;
using MountedShares = std::optional<std::vector<std::string>>;

// GVfs announces a new mount to GIO, and to its FUSE folder, a moment after the mount call
// returns.
constexpr milliseconds kAnnouncementWait{2000};
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

bool Mounted(const std::string& uri, const std::vector<std::string>& mounts) {
  return std::find(mounts.begin(), mounts.end(), uri) != mounts.end();
}

// Whether a record may still stand for its mount: certainly so when the mount is listed, and
// when the list could not be had, for nothing must be forgotten on a guess.
bool MayBeAlive(const DriveLetterRecord& record, const MountedShares& mounts) {
  return !mounts || Mounted(record.uri, *mounts);
}

// A record whose mount is gone is forgotten at the next change: its letter is free, and it
// must not come back when the same share is mounted again for another letter.
void ForgetDeadAndLetter(std::vector<DriveLetterRecord>& records, const MountedShares& mounts,
                         char letter) {
  std::erase_if(records, [&](const DriveLetterRecord& r) {
    return r.letter == letter || !MayBeAlive(r, mounts);
  });
}

bool LetterHeld(const std::vector<DriveLetterRecord>& records, const MountedShares& mounts,
                char letter) {
  return std::any_of(records.begin(), records.end(), [&](const DriveLetterRecord& r) {
    return r.letter == letter && MayBeAlive(r, mounts);
  });
}

bool MountInUse(const std::vector<DriveLetterRecord>& records, const MountedShares& mounts,
                const std::string& uri, char exceptLetter) {
  return std::any_of(records.begin(), records.end(), [&](const DriveLetterRecord& r) {
    return r.letter != exceptLetter && r.uri == uri && MayBeAlive(r, mounts);
  });
}

MountedShares SessionMounts(milliseconds bound) {
  const std::optional<std::vector<gvfs::Mounted>> mounts = gvfs::ListMounts(bound);
  if (!mounts) return std::nullopt;
  std::vector<std::string> uris;
  for (const gvfs::Mounted& mount : *mounts) uris.push_back(mount.rootUri);
  return uris;
}

class LinuxDriveMappings : public DriveMappings {
 public:
  explicit LinuxDriveMappings(const DriveMappingOptions& options)
      : file_(options.stateFolder.empty() ? DriveLetterFile::DefaultFolder() : options.stateFolder,
              gvfs::MountRoot()),
        bound_(options.bound),
        mountedShares_(options.mountedShares) {
    if (!mountedShares_) mountedShares_ = [bound = bound_] { return SessionMounts(bound); };
  }

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
                            std::string_view password) override {
    const std::optional<char> local = MappableLetter(letter);
    if (!local) return DriveResult::kBadLocalName;
    const std::optional<UncPath> share = ParseShareName(remote);
    if (!share) return DriveResult::kBadRemoteName;
    if (LiveRecord(*local)) return DriveResult::kAlreadyAssigned;
    if (!Unavailable().empty()) return DriveResult::kUnavailable;

    const std::string uri = SmbUrl(*share);
    const bool mountedBefore = gvfs::Locate(uri, bound_, milliseconds(0)).has_value();
    const gvfs::Outcome mounted =
        gvfs::Mount(uri, Credentials{SecretText(user), SecretText(password)}, bound_);
    if (mounted != gvfs::Outcome::kOk) return FromOutcome(mounted);
    const std::optional<gvfs::Mounted> mount = gvfs::Locate(uri, bound_, kAnnouncementWait);
    if (!mount) return DriveResult::kFailed;
    const bool hasFolder =
        !mount->folder.empty() && gvfs::WaitForFolder(mount->folder, true, kAnnouncementWait);
    const DriveLetterRecord record{*local, std::string(remote), mount->rootUri, mount->folder};
    return Record(record, hasFolder, !mountedBefore);
  }

  DriveResult CancelConnection(char letter, bool force) override {
    const std::optional<char> local = MappableLetter(letter);
    if (!local) return DriveResult::kBadLocalName;
    DriveResult result = DriveResult::kStateFile;
    const bool updated = file_.Update(
        [&](std::vector<DriveLetterRecord>& records) {
          const MountedShares mounts = mountedShares_();
          if (!mounts) {
            result = DriveResult::kTimedOut;  // nobody can tell whether it is connected
            return false;
          }
          const auto record = std::find_if(records.begin(), records.end(),
                                           [&](const auto& r) { return r.letter == *local; });
          result = DriveResult::kNotConnected;
          if (record != records.end() && Mounted(record->uri, *mounts)) {
            result = Disconnect(*record, MountInUse(records, mounts, record->uri, *local), force);
            if (result != DriveResult::kOk) return false;
          }
          ForgetDeadAndLetter(records, mounts, *local);
          return true;
        },
        ChangeLockWait());
    return updated || result == DriveResult::kNotConnected ? result : DriveResult::kStateFile;
  }

  // Once the session has answered, it is taken as there for the life of this object: a mount
  // asks every attempt, and the session does not go away between them.
  std::string Unavailable() const override {
    if (file_.folder().empty()) {
      return std::string(
          Tr("drive letters need a home folder to keep their record in, and there is none"));
    }
    if (sessionAnswered_.load()) return {};
    std::string problem = gvfs::SessionProblem(bound_);
    sessionAnswered_.store(problem.empty());
    return problem;
  }

 private:
  // Every change holds the lock while it decides and acts, an unmount included, so another
  // process waits for as long as one unmount with its retries may take.
  milliseconds ChangeLockWait() const { return 3 * bound_; }

  std::optional<DriveLetterRecord> LiveRecord(char letter) const {
    const std::optional<char> local = MappableLetter(letter);
    if (!local) return std::nullopt;
    const std::optional<std::vector<DriveLetterRecord>> records = file_.Read();
    if (!records) return std::nullopt;
    const auto record = std::find_if(records->begin(), records->end(),
                                     [&](const auto& r) { return r.letter == *local; });
    if (record == records->end()) return std::nullopt;
    const MountedShares mounts = mountedShares_();
    if (!mounts || !Mounted(record->uri, *mounts)) return std::nullopt;
    return *record;
  }

  // Gives the letter its mount, unless another process took the letter meanwhile or the mount
  // has no folder: then a mount this call made, and that no other letter stands on, goes again.
  DriveResult Record(const DriveLetterRecord& record, bool hasFolder, bool ownMount) {
    DriveResult result = DriveResult::kStateFile;
    const bool updated = file_.Update(
        [&](std::vector<DriveLetterRecord>& records) {
          const MountedShares mounts = mountedShares_();
          if (hasFolder && !LetterHeld(records, mounts, record.letter)) {
            ForgetDeadAndLetter(records, mounts, record.letter);
            records.push_back(record);
            result = DriveResult::kOk;
            return true;
          }
          result = hasFolder ? DriveResult::kAlreadyAssigned : DriveResult::kNoFolder;
          if (ownMount && !MountInUse(records, mounts, record.uri, record.letter)) {
            Unmount(record, false);
          }
          return false;
        },
        ChangeLockWait());
    return updated ? result : DriveResult::kStateFile;
  }

  // Leaves the share mounted while another letter stands on it.
  DriveResult Disconnect(const DriveLetterRecord& record, bool sharedWithAnotherLetter,
                         bool force) const {
    if (sharedWithAnotherLetter) return DriveResult::kOk;
    if (!force && FolderInUse(record.folder)) return DriveResult::kFilesOpen;
    return Unmount(record, force);
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
      gvfs::WaitForFolder(record.folder, false, kAnnouncementWait);
      return DriveResult::kOk;
    }
    const MountedShares mounts = mountedShares_();
    if (mounts && !Mounted(record.uri, *mounts)) return DriveResult::kOk;
    return FromOutcome(outcome);
  }

  DriveLetterFile file_;
  milliseconds bound_;
  mutable std::atomic<bool> sessionAnswered_{false};
  std::function<MountedShares()> mountedShares_;
};

}  // namespace

std::unique_ptr<DriveMappings> MakeDriveMappings() {
  return MakeDriveMappings(DriveMappingOptions{});
}

std::unique_ptr<DriveMappings> MakeDriveMappings(const DriveMappingOptions& options) {
  return std::make_unique<LinuxDriveMappings>(options);
}

}  // namespace corvane::platform
