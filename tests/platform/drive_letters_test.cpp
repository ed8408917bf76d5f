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

DriveLetterRecord Record(char letter, const std::string& remote, const fs::path& folder) {
  return {letter, remote, "smb://x/y/", folder.string()};
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
      DriveLetterFile file(state);
      bool ok = true;
      for (int i = 0; i < kChanges; ++i) {
        const std::string remote = "\\\\NAS" + std::to_string(w) + "\\S" + std::to_string(i);
        ok = file.Update([&](auto& records) {
          std::erase_if(records, [&](const auto& r) { return r.letter == 'D' + w; });
          records.push_back(Record(static_cast<char>('D' + w), remote, "/run/x"));
        }) && ok;
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
  const std::vector<DriveLetterRecord> records = DriveLetterFile(state).Read();
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

TEST(DriveLetterFile, SkipsLinesThatDoNotReadBackCleanly) {
  const TemporaryFolder temporary;
  std::ofstream(temporary.path() / "letters")
      << "# header\n"
      << "Z\t\\\\NAS\\Docs\tsmb://nas/docs/\t/run/gvfs/a\n"
      << "C\t\\\\NAS\\Docs\tsmb://nas/docs/\t/run/gvfs/a\n"   // not a mappable letter
      << "Y\t\\\\NAS\\Do/cs\tsmb://nas/docs/\t/run/gvfs/a\n"  // remote could point elsewhere
      << "X\t\\\\NAS\\Docs\tsmb://nas/docs/\trelative\n"      // folder not absolute
      << "W\t\\\\NAS\\Docs\tsmb://nas/docs/\n"                // field missing
      << "V\t\\\\NAS\\Docs\tsmb://nas/docs/\t/run/gvfs/a\textra\n";
  const std::vector<DriveLetterRecord> records = DriveLetterFile(temporary.path()).Read();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].letter, 'Z');
}

// A stand-in for the GVfs FUSE folder: its listing names the mounts that exist.
class RememberedLetters : public ::testing::Test {
 protected:
  void SetUp() override {
    fuse_ = temporary_.path() / "gvfs";
    live_ = fuse_ / "smb-share:server=nas,share=docs";
    fs::create_directories(live_);
    state_ = temporary_.path() / "state";
    DriveLetterFile(state_).Update([&](auto& records) {
      records.push_back(Record('Z', "\\\\NAS\\Docs", live_));
      records.push_back(Record('Y', "\\\\192.168.50.21\\HDD_a", fuse_ / "smb-share:gone"));
    });
    // No session bus here, whatever the machine has.
    ::setenv("XDG_RUNTIME_DIR", temporary_.path().c_str(), 1);
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    drives_ = MakeDriveMappings({state_.string(), std::chrono::milliseconds(2000)});
  }

  TemporaryFolder temporary_;
  fs::path fuse_, live_, state_;
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
  ASSERT_EQ(DriveLetterFile(state_).Read().size(), 1u);
  fs::create_directories(fuse_ / "smb-share:gone");
  EXPECT_EQ(drives_->GetConnection('Y'), std::nullopt);
  EXPECT_FALSE(fs::exists(fs::symlink_status(state_ / "drives" / "Y")));
}

TEST_F(RememberedLetters, RefusesBeforeTouchingTheNetwork) {
  EXPECT_EQ(drives_->AddConnection('C', "\\\\NAS\\Docs", "", "", false),
            DriveResult::kBadLocalName);
  EXPECT_EQ(drives_->AddConnection('X', "\\\\NAS\\Do\\cs", "", "", false),
            DriveResult::kBadRemoteName);
  EXPECT_EQ(drives_->AddConnection('X', "\\\\N/AS\\Docs", "", "", false),
            DriveResult::kBadRemoteName);
  EXPECT_EQ(drives_->AddConnection('Z', "\\\\NAS\\Other", "", "", false),
            DriveResult::kAlreadyAssigned);

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
  EXPECT_EQ(drives_->AddConnection('X', "\\\\NAS\\Docs", "", "", false), DriveResult::kUnavailable);
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
