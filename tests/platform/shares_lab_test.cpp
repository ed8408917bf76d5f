// SPDX-License-Identifier: GPL-3.0-or-later
// The SMB file service, the drive letters and the web port test against real Samba servers,
// real GVfs mounts and a real web server in the lab (tests/platform/lab/shares.json), inside
// a desktop session of the test's own. One lab for all tests; each uses its own letters.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "platform/drive_mappings.h"
#include "platform/reachability.h"
#include "platform/smb_files.h"
#include "share_lab.h"

namespace corvane::platform {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using lab::ReadWholeFile;
using lab::ShareFolder;

constexpr char kAlder[] = "192.168.50.21";   // guest shares HDD_a, public; login share private
constexpr char kBirch[] = "192.168.50.22";   // SMB1 only; HDD_1, read-only archive; no web
constexpr char kHang[] = "192.168.50.23";    // accepts on 445 and 80, never answers
constexpr char kElder[] = "192.168.50.25";   // no file beyond 4 MiB; HDD_a holds table.bin
constexpr char kNobody[] = "192.168.50.99";  // no such host

std::string Unc(const std::string& host, const std::string& rest) {
  return "\\\\" + host + "\\" + rest;
}

std::vector<std::uint8_t> Payload(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::uint8_t> bytes(size);
  for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
  return bytes;
}

std::string AsText(const std::vector<std::uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::size_t ThreadCount() {
  return static_cast<std::size_t>(
      std::distance(fs::directory_iterator("/proc/self/task"), fs::directory_iterator()));
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(SmbFiles, WritesAndOverwritesWholeFilesByteForByte) {
  const auto files = MakeSmbFiles();
  const std::string path = Unc(kAlder, "HDD_a\\.codepages\\codepage.950");
  const std::string stored = ShareFolder("alder", "HDD_a") + "/.codepages/codepage.950";
  EXPECT_EQ(files->ConnectPath(path), 0);

  const auto large = Payload(2 * 1024 * 1024, 1);
  const auto start = Clock::now();
  const SmbWriteResult first = files->WriteFile(path, large);
  const double seconds = SecondsSince(start);
  EXPECT_EQ(first.error, 0);
  EXPECT_EQ(first.written, large.size());
  std::cout << "[measure] 2 MiB written in " << seconds << " s ("
            << static_cast<double>(large.size()) / seconds / 1e6 << " MB/s)\n";
  EXPECT_EQ(ReadWholeFile(stored), AsText(large));

  // Overwriting with less leaves nothing of the old content behind.
  const auto small = Payload(1000, 2);
  EXPECT_EQ(files->WriteFile(path, small).written, small.size());
  EXPECT_EQ(ReadWholeFile(stored), AsText(small));
  EXPECT_EQ(files->FileSize(path).size, small.size());
  EXPECT_TRUE(files->PathExists(path));

  // An SMB1-only device, by address, and a device by its NetBIOS name.
  const auto module = Payload(5000, 3);
  const std::string old = Unc(kBirch, "HDD_1\\.systemfile\\.codepages\\nls_cp950.ko");
  EXPECT_EQ(files->WriteFile(old, module).error, 0);
  EXPECT_EQ(ReadWholeFile(ShareFolder("birch", "HDD_1") + "/.systemfile/.codepages/nls_cp950.ko"),
            AsText(module));
  ASSERT_TRUE(lab::WaitForNetbiosName("NAS-ALDER"));
  EXPECT_EQ(files->WriteFile(Unc("NAS-ALDER", "HDD_a\\by-name.txt"), small).error, 0);
  EXPECT_EQ(ReadWholeFile(ShareFolder("alder", "HDD_a") + "/by-name.txt"), AsText(small));
}

TEST(SmbFiles, EachFailureHasItsKindAndReturnsWithinItsBound) {
  const auto files = MakeSmbFiles();
  const auto bytes = Payload(100, 4);
  EXPECT_EQ(files->WriteFile(Unc(kAlder, "HDD_a\\missing\\file"), bytes).error, ENOENT);
  EXPECT_FALSE(fs::exists(ShareFolder("alder", "HDD_a") + "/missing"));
  EXPECT_EQ(files->WriteFile(Unc(kAlder, "nosuch\\file"), bytes).error, ENOENT);
  EXPECT_EQ(files->WriteFile(Unc(kAlder, "private\\file"), bytes).error, EACCES);
  EXPECT_EQ(files->WriteFile("\\\\" + std::string(kAlder) + "\\HDD_a\\..\\x", bytes).error, EINVAL);
  EXPECT_FALSE(files->PathExists(Unc(kAlder, "HDD_a\\missing")));

  // A read-only share keeps its older file, which still counts as there.
  const std::string old = Unc(kBirch, "archive\\old.txt");
  EXPECT_EQ(files->WriteFile(old, bytes).error, EACCES);
  EXPECT_EQ(ReadWholeFile(ShareFolder("birch", "archive") + "/old.txt"), "older file\n");
  EXPECT_EQ(files->FileSize(old).size, 11u);
  EXPECT_TRUE(files->PathExists(old));

  auto start = Clock::now();
  EXPECT_EQ(files->ConnectPath(Unc(kNobody, "HDD_a\\file")), EHOSTUNREACH);
  EXPECT_LT(SecondsSince(start), 12);

  // A server that takes the connection and never answers fails at the bound, not later.
  start = Clock::now();
  EXPECT_EQ(files->WriteFile(Unc(kHang, "HDD_a\\file"), bytes).error, ETIMEDOUT);
  const double seconds = SecondsSince(start);
  std::cout << "[measure] silent server given up after " << seconds << " s\n";
  EXPECT_LT(seconds, 12);
  // The service is still good for the next call.
  EXPECT_EQ(files->WriteFile(Unc(kAlder, "HDD_a\\after.txt"), bytes).error, 0);
}

// The server fails part-way through the write, as a full disk or a lost connection would: the
// file the device had stays whole, and nothing of the attempt is left beside it.
TEST(SmbFiles, AWriteThatFailsPartWayLeavesTheOldFileAsItWas) {
  const auto files = MakeSmbFiles();
  const std::string path = Unc(kElder, "HDD_a\\table.bin");
  const std::string folder = ShareFolder("elder", "HDD_a");
  EXPECT_NE(files->WriteFile(path, Payload(5 * 1024 * 1024, 5)).error, 0);
  EXPECT_TRUE(ReadWholeFile(folder + "/table.bin") == "older table\n") << "the old file changed";
  EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"table.bin"});

  const auto fits = Payload(1000, 6);
  EXPECT_EQ(files->WriteFile(path, fits).error, 0);
  EXPECT_EQ(ReadWholeFile(folder + "/table.bin"), AsText(fits));
  EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"table.bin"});
}

// An absent host takes about 3 s to be found absent, three times the bound given here: each such
// call is still inside the SMB client when the next ones come. They must not run beside it (the
// client would free their memory under them), and none outlives the service.
TEST(SmbFiles, CallsThatOverrunTheirBoundNeverOverlapAndEndWithTheService) {
  const std::size_t threadsBefore = ThreadCount();
  {
    const auto files = MakeSmbFiles({1000ms});
    const auto bytes = Payload(100, 7);
    int written = 0;
    for (int round = 0; round < 4; ++round) {
      EXPECT_EQ(files->ConnectPath(Unc(kNobody, "HDD_a\\file")), ETIMEDOUT);
      const int error = files->WriteFile(Unc(kAlder, "HDD_a\\beside.txt"), bytes).error;
      EXPECT_TRUE(error == 0 || error == ETIMEDOUT) << error;  // perhaps queued behind it
      written += error == 0 ? 1 : 0;
    }
    EXPECT_GT(written, 0);
  }
  EXPECT_EQ(ThreadCount(), threadsBefore);
}

class DriveLetters : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lab::InDesktopSession()) << "run inside tools/lab/session.sh";
    ASSERT_EQ(drives_->Unavailable(), "");
  }

  std::string Folder(char letter) { return drives_->GetFolder(letter).value_or(""); }

  std::unique_ptr<DriveMappings> drives_ = MakeDriveMappings();
};

TEST_F(DriveLetters, MountByAddressRemapAndUnmountOnlyOnceNothingIsOpen) {
  const std::string remote = Unc(kAlder, "HDD_a");
  const auto start = Clock::now();
  ASSERT_EQ(drives_->AddConnection('Z', remote, "", ""), DriveResult::kOk);
  std::cout << "[measure] mount took " << SecondsSince(start) << " s\n";
  EXPECT_EQ(drives_->GetConnection('Z'), remote);
  EXPECT_EQ(drives_->GetDriveType('Z'), DriveType::kRemote);
  const std::string folder = Folder('Z');
  EXPECT_EQ(ReadWholeFile(folder + "/public.txt"), "on the share\n");
  EXPECT_EQ(fs::canonical(std::string(std::getenv("XDG_STATE_HOME")) + "/corvane/drives/Z"),
            fs::canonical(folder));
  // Another Corvane process sees the same letter.
  EXPECT_EQ(MakeDriveMappings()->GetConnection('Z'), remote);
  EXPECT_EQ(lab::RunQuietly({"sh", "-c", "gio mount -l | grep -q smb://192.168.50.21/hdd_a/"}), 0);

  // A connected letter is not taken over; cancelled first, it maps the new share.
  EXPECT_EQ(drives_->AddConnection('Z', Unc(kAlder, "public"), "", ""),
            DriveResult::kAlreadyAssigned);
  ASSERT_EQ(drives_->CancelConnection('Z', false), DriveResult::kOk);
  ASSERT_EQ(drives_->AddConnection('Z', Unc(kAlder, "public"), "", ""), DriveResult::kOk);
  EXPECT_EQ(drives_->GetConnection('Z'), Unc(kAlder, "public"));

  const std::string document = Folder('Z') + "/letter.txt";
  {
    std::ofstream open(document);
    open << "unsaved";
    open.flush();
    EXPECT_EQ(drives_->CancelConnection('Z', false), DriveResult::kFilesOpen);
    EXPECT_EQ(drives_->GetConnection('Z'), Unc(kAlder, "public"));
  }
  EXPECT_EQ(ReadWholeFile(ShareFolder("alder", "public") + "/letter.txt"), "unsaved");
  ASSERT_EQ(drives_->CancelConnection('Z', false), DriveResult::kOk);
  EXPECT_EQ(drives_->GetConnection('Z'), std::nullopt);
  EXPECT_EQ(drives_->GetDriveType('Z'), DriveType::kNoRootDir);
  EXPECT_FALSE(fs::exists(document));
  EXPECT_EQ(drives_->CancelConnection('Z', false), DriveResult::kNotConnected);
}

TEST_F(DriveLetters, MountByNetbiosNameKeepsTheNameAsMapped) {
  ASSERT_TRUE(lab::WaitForNetbiosName("NAS-BIRCH"));
  const std::string remote = "\\\\NAS-BIRCH\\HDD_1";  // GVfs itself says nas-birch, hdd_1
  ASSERT_EQ(drives_->AddConnection('Y', remote, "", ""), DriveResult::kOk);
  EXPECT_EQ(drives_->GetConnection('Y'), remote);
  EXPECT_TRUE(fs::is_directory(Folder('Y') + "/.systemfile/.codepages"));

  // Unmounted elsewhere (the file manager, a logout): the letter is free again.
  EXPECT_EQ(lab::RunQuietly({"gio", "mount", "-u", "smb://nas-birch/hdd_1"}), 0);
  EXPECT_EQ(drives_->GetConnection('Y'), std::nullopt);
  EXPECT_EQ(drives_->GetDriveType('Y'), DriveType::kNoRootDir);
  EXPECT_EQ(drives_->CancelConnection('Y', false), DriveResult::kNotConnected);
}

TEST_F(DriveLetters, ALoginShareNeedsItsUserAndPassword) {
  const std::string remote = Unc(kAlder, "private");
  EXPECT_EQ(drives_->AddConnection('X', remote, "", ""), DriveResult::kLoginNeeded);
  EXPECT_EQ(drives_->AddConnection('X', remote, "labuser", "wrong"), DriveResult::kLoginNeeded);
  EXPECT_EQ(drives_->GetConnection('X'), std::nullopt);
  ASSERT_EQ(drives_->AddConnection('X', remote, "labuser", "lab-secret"), DriveResult::kOk);
  std::ofstream(Folder('X') + "/mine.txt") << "private";
  EXPECT_EQ(ReadWholeFile(ShareFolder("alder", "private") + "/mine.txt"), "private");
  EXPECT_EQ(drives_->CancelConnection('X', false), DriveResult::kOk);
}

TEST_F(DriveLetters, HostsThatAreGoneOrSilentFailWithinTheBound) {
  auto start = Clock::now();
  EXPECT_EQ(drives_->AddConnection('W', Unc(kNobody, "HDD_a"), "", ""), DriveResult::kFailed);
  EXPECT_LT(SecondsSince(start), 12);
  start = Clock::now();
  EXPECT_EQ(drives_->AddConnection('W', Unc(kHang, "HDD_a"), "", ""), DriveResult::kTimedOut);
  const double seconds = SecondsSince(start);
  std::cout << "[measure] mount of a silent server given up after " << seconds << " s\n";
  EXPECT_LT(seconds, 13);
  EXPECT_EQ(drives_->GetConnection('W'), std::nullopt);
}

bool Mounted(const std::string& rootUri) {
  return lab::RunQuietly({"sh", "-c", "gio mount -l | grep -qF '" + rootUri + "'"}) == 0;
}

// Two processes (two objects here, each taking the lock on its own) map one letter at once: one
// gets it, the other is told it is taken, and the share it mounted does not stay behind without
// a letter.
TEST_F(DriveLetters, TwoMappingsOfOneLetterAtOnceLeaveOneShareOnIt) {
  const std::string remotes[] = {Unc(kAlder, "HDD_a"), Unc(kAlder, "public")};
  const std::string uris[] = {"smb://192.168.50.21/hdd_a/", "smb://192.168.50.21/public/"};
  DriveResult results[2];
  {
    std::jthread first(
        [&] { results[0] = MakeDriveMappings()->AddConnection('V', remotes[0], "", ""); });
    std::jthread second(
        [&] { results[1] = MakeDriveMappings()->AddConnection('V', remotes[1], "", ""); });
  }
  const int winner = results[0] == DriveResult::kOk ? 0 : 1;
  ASSERT_EQ(results[winner], DriveResult::kOk);
  EXPECT_EQ(results[1 - winner], DriveResult::kAlreadyAssigned);
  EXPECT_EQ(drives_->GetConnection('V'), remotes[winner]);
  EXPECT_FALSE(Mounted(uris[1 - winner]));
  EXPECT_EQ(drives_->CancelConnection('V', false), DriveResult::kOk);
}

// Two letters on one share, removed at once by two processes: whichever goes last takes the
// share's mount with it.
TEST_F(DriveLetters, TwoLettersOnOneShareRemovedAtOnceTakeTheMountAlong) {
  const std::string remote = Unc(kAlder, "public");
  for (int round = 0; round < 3; ++round) {
    ASSERT_EQ(drives_->AddConnection('U', remote, "", ""), DriveResult::kOk);
    ASSERT_EQ(drives_->AddConnection('T', remote, "", ""), DriveResult::kOk);
    DriveResult results[2];
    {
      std::jthread first([&] { results[0] = MakeDriveMappings()->CancelConnection('U', false); });
      std::jthread second([&] { results[1] = MakeDriveMappings()->CancelConnection('T', false); });
    }
    EXPECT_EQ(results[0], DriveResult::kOk);
    EXPECT_EQ(results[1], DriveResult::kOk);
    ASSERT_FALSE(Mounted("smb://192.168.50.21/public/")) << "round " << round;
  }
}

TEST(Reachability, TheWebPortDecides) {
  EXPECT_TRUE(CheckHttpReachable(kAlder, kReachabilityBound));
  EXPECT_FALSE(CheckHttpReachable(kBirch, kReachabilityBound));  // no web server
  EXPECT_TRUE(CheckHttpReachable(kHang, kReachabilityBound));    // takes the connection
  const auto start = Clock::now();
  EXPECT_FALSE(CheckHttpReachable(kNobody, kReachabilityBound));
  EXPECT_LT(Clock::now() - start, kReachabilityBound + 500ms);
}

}  // namespace
}  // namespace corvane::platform
