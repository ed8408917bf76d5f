// SPDX-License-Identifier: GPL-3.0-or-later
// The drive letters' own logic, without GVfs: the shared record, and what a scan makes of
// records whose mount folder is listed or gone. Real mounts are tested in the lab.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/drive_letter_file.h"
#include "platform/drive_mappings.h"
#include "platform/open_files.h"

namespace corvane::platform {
namespace {

namespace fs = std::filesystem;

class TemporaryFolder {
 public:
  TemporaryFolder() {
    std::string pattern = (fs::temp_directory_path() / "corvane-test.XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TemporaryFolder() { fs::remove_all(path_); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

constexpr char kMountRoot[] = "/run/user/1000/gvfs";

DriveLetterRecord Record(char letter, const std::string& remote, const fs::path& folder,
                         const std::string& uri = "smb://x/y/") {
  return {letter, remote, uri, folder.string()};
}

TEST(DriveLetterFile, WritersInSeveralProcessesLoseNoChange) {
  const TemporaryFolder temporary;
  const std::string state = (temporary.path() / "state").string();
  constexpr int kWriters = 4;
  constexpr int kChanges = 25;
  std::vector<pid_t> writers;
  for (int w = 0; w < kWriters; ++w) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      DriveLetterFile file(state, kMountRoot);
      bool ok = true;
      for (int i = 0; i < kChanges; ++i) {
        const std::string remote = "\\\\NAS" + std::to_string(w) + "\\S" + std::to_string(i);
        ok = file.Update(
                 [&](auto& records) {
                   std::erase_if(records, [&](const auto& r) { return r.letter == 'D' + w; });
                   records.push_back(Record(static_cast<char>('D' + w), remote,
                                            std::string(kMountRoot) + "/smb-share:x"));
                   return true;
                 },
                 std::chrono::seconds(2)) &&
             ok;
      }
      ::_exit(ok ? 0 : 1);
    }
    writers.push_back(pid);
  }
  for (const pid_t pid : writers) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const std::vector<DriveLetterRecord> records = *DriveLetterFile(state, kMountRoot).Read();
  ASSERT_EQ(records.size(), static_cast<std::size_t>(kWriters));
  for (int w = 0; w < kWriters; ++w) {
    EXPECT_EQ(records[w].letter, 'D' + w);
    EXPECT_EQ(records[w].remote, "\\\\NAS" + std::to_string(w) + "\\S24");
  }
  for (const auto& entry : fs::directory_iterator(state)) {
    EXPECT_EQ(entry.path().filename().string().find(".letters."), std::string::npos)
        << "temporary file left: " << entry.path();
  }
}

TEST(DriveLetterFile, SkipsLinesThatAreNoRecordOfAShareOfOurs) {
  const TemporaryFolder temporary;
  const std::string folder = std::string(kMountRoot) + "/smb-share:server=nas,share=docs";
  std::ofstream(temporary.path() / "letters")
      << "# header\n"
      << "Z\t\\\\NAS\\Docs\tsmb://nas/docs/\t" << folder << "\n"
      << "C\t\\\\NAS\\Docs\tsmb://nas/docs/\t" << folder << "\n"     // not a mappable letter
      << "Y\t\\\\NAS\\Do/cs\tsmb://nas/docs/\t" << folder << "\n"    // remote could point elsewhere
      << "X\t\\\\NAS\\Docs\tsmb://nas/docs/\t/media/usb\n"           // not a GVfs share folder
      << "W\t\\\\NAS\\Docs\tsmb://nas/docs/\n"                       // field missing
      << "F\t\\\\NAS\\Docs\tfile:///media/usb/\t" << folder << "\n"  // not an SMB share
      << "V\t\\\\NAS\\Docs\tsmb://nas/docs/\t" << folder << "/../x\n"
      << "U\t\\\\NAS\\Docs\tsmb://nas/docs/\t" << folder << "\textra\n";
  const std::vector<DriveLetterRecord> records =
      DriveLetterFile(temporary.path(), kMountRoot).Read().value();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].letter, 'Z');
}

// What stands where the record belongs is read without blocking and within a size, and a
// record that cannot be read is never overwritten by a change that could not see its letters.
TEST(DriveLetterFile, ARecordThatCannotBeReadStopsEveryChangeAndStaysAsItIs) {
  const TemporaryFolder temporary;
  const fs::path record = temporary.path() / "letters";
  DriveLetterFile file(temporary.path(), kMountRoot);
  const auto change = [](auto& records) {
    records.push_back(Record('D', "\\\\NAS\\Docs", std::string(kMountRoot) + "/smb-share:d"));
    return true;
  };

  ASSERT_EQ(::mkfifo(record.c_str(), 0600), 0);
  EXPECT_EQ(file.Read(), std::nullopt);
  EXPECT_FALSE(file.Update(change, std::chrono::seconds(2)));
  EXPECT_TRUE(fs::is_fifo(record));
  fs::remove(record);
  fs::create_symlink("/dev/zero", record);
  EXPECT_EQ(file.Read(), std::nullopt);
  fs::remove(record);

  const std::string large(70 * 1024, '#');
  std::ofstream(record) << large;
  EXPECT_FALSE(file.Update(change, std::chrono::seconds(2)));
  EXPECT_EQ(fs::file_size(record), large.size());
  fs::remove(record);

  // A change that died half-way left its temporary file; the next one clears it.
  std::ofstream(temporary.path() / ".letters.AbC123") << "half";
  EXPECT_TRUE(file.Update(change, std::chrono::seconds(2)));
  EXPECT_EQ(file.Read()->size(), 1u);
  EXPECT_FALSE(fs::exists(temporary.path() / ".letters.AbC123"));
}

// The session's mounts as GIO would list them, without GVfs.
class RememberedLetters : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("XDG_RUNTIME_DIR", temporary_.path().c_str(), 1);
    live_ = temporary_.path() / "gvfs" / "smb-share:server=nas,share=docs";
    fs::create_directories(live_);
    state_ = temporary_.path() / "state";
    DriveLetterFile(state_, (temporary_.path() / "gvfs").string())
        .Update(
            [&](auto& records) {
              records.push_back(Record('Z', "\\\\NAS\\Docs", live_, kLive));
              records.push_back(Record('Y', "\\\\192.168.50.21\\HDD_a",
                                       temporary_.path() / "gvfs" / "smb-share:gone", kGone));
              return true;
            },
            std::chrono::seconds(2));
    // No session bus here, whatever the machine has.
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    drives_ = MakeDriveMappings(
        {state_.string(), std::chrono::milliseconds(2000), [this] { return mounts_; }});
  }

  static constexpr char kLive[] = "smb://nas/docs/";
  static constexpr char kGone[] = "smb://192.168.50.21/hdd_a/";
  TemporaryFolder temporary_;
  fs::path live_, state_;
  std::optional<std::vector<std::string>> mounts_ = std::vector<std::string>{kLive};
  std::unique_ptr<DriveMappings> drives_;
};

TEST_F(RememberedLetters, OnlyLettersWhoseMountIsListedAreConnected) {
  EXPECT_EQ(drives_->GetConnection('Z'), "\\\\NAS\\Docs");  // as mapped, not as GVfs spells it
  EXPECT_EQ(drives_->GetConnection('z'), "\\\\NAS\\Docs");
  EXPECT_EQ(drives_->GetDriveType('Z'), DriveType::kRemote);
  EXPECT_EQ(drives_->GetFolder('Z'), live_.string());
  EXPECT_EQ(fs::read_symlink(state_ / "drives" / "Z"), live_);

  EXPECT_EQ(drives_->GetConnection('Y'), std::nullopt);
  EXPECT_EQ(drives_->GetDriveType('Y'), DriveType::kNoRootDir);
  EXPECT_EQ(drives_->GetFolder('Y'), std::nullopt);
  EXPECT_EQ(drives_->GetDriveType('E'), DriveType::kNoRootDir);

  // Cancelling a letter whose mount is gone reports it, and forgets the letter for good.
  EXPECT_EQ(drives_->CancelConnection('Y', false), DriveResult::kNotConnected);
  const DriveLetterFile file(state_.string(), (temporary_.path() / "gvfs").string());
  ASSERT_EQ(file.Read()->size(), 1u);
  mounts_->push_back(kGone);
  EXPECT_EQ(drives_->GetConnection('Y'), std::nullopt);
  EXPECT_FALSE(fs::exists(fs::symlink_status(state_ / "drives" / "Y")));

  // When GIO cannot tell what is mounted, no letter reads as connected, and none is forgotten.
  mounts_.reset();
  EXPECT_EQ(drives_->GetConnection('Z'), std::nullopt);
  EXPECT_EQ(drives_->CancelConnection('Z', false), DriveResult::kTimedOut);
  EXPECT_EQ(file.Read()->size(), 1u);
}

TEST_F(RememberedLetters, RefusesBeforeTouchingTheNetwork) {
  EXPECT_EQ(drives_->AddConnection('C', "\\\\NAS\\Docs", "", ""), DriveResult::kBadLocalName);
  EXPECT_EQ(drives_->AddConnection('X', "\\\\NAS\\Do\\cs", "", ""), DriveResult::kBadRemoteName);
  EXPECT_EQ(drives_->AddConnection('X', "\\\\N/AS\\Docs", "", ""), DriveResult::kBadRemoteName);
  EXPECT_EQ(drives_->AddConnection('Z', "\\\\NAS\\Other", "", ""), DriveResult::kAlreadyAssigned);

  // A file open on the drive keeps it connected.
  {
    std::ofstream open(live_ / "report.txt");
    ASSERT_TRUE(open);
    EXPECT_EQ(drives_->CancelConnection('Z', false), DriveResult::kFilesOpen);
  }
  EXPECT_EQ(drives_->GetConnection('Z'), "\\\\NAS\\Docs");

  // Without a session bus, a mapping says why at once instead of waiting.
  const std::string why = drives_->Unavailable();
  EXPECT_NE(why.find("session bus"), std::string::npos) << why;
  EXPECT_EQ(why.find('\n'), std::string::npos);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(drives_->AddConnection('X', "\\\\NAS\\Docs", "", ""), DriveResult::kUnavailable);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(FolderInUse, SeesOpenFilesAndWorkingFoldersOfTheUsersProcesses) {
  const TemporaryFolder temporary;
  const fs::path drive = temporary.path() / "drive";
  const fs::path sibling = temporary.path() / "drive2";  // shares a prefix, not the folder
  fs::create_directories(drive / "sub");
  fs::create_directories(sibling);
  EXPECT_FALSE(FolderInUse(drive.string()));
  {
    std::ofstream open(sibling / "file");
    EXPECT_FALSE(FolderInUse(drive.string()));
  }
  {
    std::ofstream open(drive / "sub" / "file");
    EXPECT_TRUE(FolderInUse(drive.string()));
    EXPECT_TRUE(FolderInUse(drive.string() + "/"));
  }
  EXPECT_FALSE(FolderInUse(drive.string()));

  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const bool moved = ::chdir((drive / "sub").c_str()) == 0;
    const char signal = moved ? 'y' : 'n';
    static_cast<void>(::write(ready[1], &signal, 1));
    ::pause();
    ::_exit(0);
  }
  char signal = 0;
  ASSERT_EQ(::read(ready[0], &signal, 1), 1);
  EXPECT_EQ(signal, 'y');
  EXPECT_TRUE(FolderInUse(drive.string()));
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  ::close(ready[0]);
  ::close(ready[1]);
  EXPECT_FALSE(FolderInUse(drive.string()));
}

}  // namespace
}  // namespace corvane::platform
