// SPDX-License-Identifier: GPL-3.0-or-later
// The language checks and the installer against a scripted device and in-memory files: what is
// asked in which order, where the files go, and when a write counts as done. The same against
// real Samba shares is in codepage_install_lab_test.cpp.
#include "operations/codepage_install.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <climits>

#include "language/payload_catalogue.h"
#include "platform/testing/fake_smb_files.h"
#include "scripted_device.h"

namespace corvane::operations {
namespace {

using language::TargetLayout;
using platform::testing::FakeSmbFiles;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::RecordingInteraction;
using testing::ScriptedSession;

constexpr char kHost[] = "192.168.50.21";
constexpr int kCyrillic = 5;
constexpr int kWestern = 2;

std::string Payload(const protocol::testing::Bytes& request) {
  return std::string(request.begin() + 60, request.end());
}

// Item code and text of every set request, in order.
std::vector<std::string> SetsOf(const ScriptedSession& scripted) {
  std::vector<std::string> sets;
  for (const auto& request : scripted.device.sets) {
    sets.push_back(std::to_string(request[21]) + " " + Payload(request));
  }
  return sets;
}

int ReadsOf(const ScriptedSession& scripted, int item) {
  int count = 0;
  for (const auto& event : scripted.io.events) {
    if (event.kind == protocol::testing::IoEvent::kSend && event.bytes[0] == 3 &&
        event.bytes[21] == item) {
      ++count;
    }
  }
  return count;
}

std::string Path(const std::string& directory, std::string_view file) {
  return std::string("\\\\") + kHost + "\\" + directory + "\\" + std::string(file);
}

TEST(CodepageFiles, LanguagesLayoutsAndNumbers) {
  EXPECT_EQ(language::FindLanguage("cYRILLIC"), 5);
  EXPECT_EQ(language::FindLanguage("950"), 0);
  EXPECT_EQ(language::FindLanguage("437"), std::nullopt);
  EXPECT_EQ(language::FindLanguage("Japanese"), std::nullopt);
  EXPECT_EQ(language::LanguageIndexForCodepage(932), 3);
  EXPECT_EQ(language::LanguageIndexForCodepage(437), kWestern);

  EXPECT_EQ(language::LeadingInteger(" 932 "), 932);
  EXPECT_EQ(language::LeadingInteger("3abc"), 3);
  EXPECT_EQ(language::LeadingInteger(""), 0);
  EXPECT_EQ(language::LeadingInteger("ok"), 0);
  EXPECT_EQ(language::LeadingInteger("-2"), -2);
  EXPECT_EQ(language::LeadingInteger("99999999999999999999"), INT_MAX);

  const auto hddA = language::ChooseTarget("hdd_a");
  ASSERT_TRUE(hddA);
  EXPECT_EQ(hddA->layout, TargetLayout::kPowerPcLinux24);
  EXPECT_EQ(hddA->directory, "HDD_a\\.codepages");
  EXPECT_EQ(language::ChooseTarget("")->directory, "HDD_a\\.codepages");
  const auto hdd1 = language::ChooseTarget("Hdd_1");
  ASSERT_TRUE(hdd1);
  EXPECT_EQ(hdd1->layout, TargetLayout::kArmLinux26);
  EXPECT_EQ(hdd1->directory, "Hdd_1\\.systemfile\\.codepages");
  EXPECT_FALSE(language::ChooseTarget("HDD_b"));
  EXPECT_FALSE(language::ChooseTarget("HDD_a "));
  EXPECT_THAT(language::CodepageFileIds(6, TargetLayout::kArmLinux26), IsEmpty());
}

TEST(CheckLanguageSupport, DiskStateDecidesAndTheCodepagePreselects) {
  struct Case {
    std::string ideok;
    bool answers;
    DiskState disk;
    std::string_view refusal;
    int diskReads;
  };
  for (const Case& c : {Case{"3", true, DiskState::kReady, "", 1},
                        Case{"1", true, DiskState::kNoDisk, kNoHardDrives, 1},
                        Case{"2", true, DiskState::kNotFormatted, kFormatHardDrive, 1},
                        Case{"0", true, DiskState::kNoLanguages, kLanguagesNotSupported, 1},
                        Case{"4", true, DiskState::kNoLanguages, kLanguagesNotSupported, 1},
                        Case{"", false, DiskState::kNoLanguages, kLanguagesNotSupported, 4}}) {
    ScriptedSession scripted;
    scripted.device.ideok = c.ideok;
    if (!c.answers) scripted.device.unanswered = {11};
    RecordingInteraction user;
    const LanguageCheck check = CheckLanguageSupport(scripted.session, user);
    EXPECT_EQ(check.disk, c.disk) << c.ideok;
    EXPECT_EQ(check.Refusal(), c.refusal) << c.ideok;
    EXPECT_EQ(check.OpensWebPage(), c.disk == DiskState::kNotFormatted);
    EXPECT_EQ(ReadsOf(scripted, 11), c.diskReads) << c.ideok;
    EXPECT_EQ(ReadsOf(scripted, 9), c.disk == DiskState::kReady ? 1 : 0) << c.ideok;
  }

  for (const auto& [codepage, index] :
       std::vector<std::pair<std::string, int>>{{"932", 3}, {"437", kWestern}, {"866", 5}}) {
    ScriptedSession scripted;
    scripted.device.codepage = codepage;
    RecordingInteraction user;
    EXPECT_EQ(CheckLanguageSupport(scripted.session, user).LanguageIndex, index) << codepage;
  }
  ScriptedSession silentCodepage;
  silentCodepage.device.codepage = "932";
  silentCodepage.device.unanswered = {9};
  RecordingInteraction user;
  const LanguageCheck check = CheckLanguageSupport(silentCodepage.session, user);
  EXPECT_FALSE(check.codepageAnswered);
  EXPECT_EQ(check.LanguageIndex, kWestern);
}

class InstallTest : public ::testing::Test {
 protected:
  InstallResult Install(int languageIndex, std::string_view host = kHost) {
    return InstallCodepageFiles(scripted_.session, files_, languageIndex, host, user_);
  }

  ScriptedSession scripted_;
  FakeSmbFiles files_;
  RecordingInteraction user_;
};

TEST_F(InstallTest, RwThenTheFilesInOrderThenTheCodepage) {
  scripted_.device.systemShare = "HDD_1";
  const InstallResult result = Install(kCyrillic);
  EXPECT_EQ(result.CopyFailed, 0);
  EXPECT_EQ(result.failure, InstallFailure::kNone);
  EXPECT_THAT(SetsOf(scripted_), ElementsAre("10 rw", "8 866"));
  EXPECT_EQ(ReadsOf(scripted_, 12), 1);

  const std::string dir = "HDD_1\\.systemfile\\.codepages";
  std::vector<std::string> expected;
  for (const char* name : {"codepage.866", "nls_cp866.ko", "nls_koi8-r.ko", "nls_cp866_12.ko",
                           "nls_koi8-r_12.ko", "unicode_map.866", "unicode_map.KOI8-R"}) {
    expected.push_back(Path(dir, name));
  }
  EXPECT_EQ(result.written, expected);
  std::vector<std::string> calls;
  std::vector<std::string> reported;
  for (const std::string& path : expected) {
    calls.insert(calls.end(), {"connect " + path, "write " + path, "size " + path});
    reported.push_back("written " + path);
    ASSERT_EQ(files_.Files().count(path), 1u) << path;
  }
  EXPECT_EQ(files_.Calls(), calls);
  for (const std::string& step : reported) EXPECT_THAT(user_.steps, ::testing::Contains(step));
  const auto map = language::LookUpPayload(184);
  EXPECT_TRUE(
      std::equal(map->bytes.begin(), map->bytes.end(), files_.Files().at(expected.back()).begin()));
}

TEST_F(InstallTest, NoShareNameAfterTenTriesMeansTheFirstLayout) {
  scripted_.device.unanswered = {12};
  const InstallResult result = Install(kWestern);
  EXPECT_EQ(ReadsOf(scripted_, 12), 10);
  EXPECT_EQ(result.CopyFailed, 0);
  EXPECT_THAT(result.written, ElementsAre(Path("HDD_a\\.codepages", "codepage.850"),
                                          Path("HDD_a\\.codepages", "nls_cp850.o"),
                                          Path("HDD_a\\.codepages", "unicode_map.850")));
}

TEST_F(InstallTest, AnUnexpectedShareWritesNothingAnywhereAndStops) {
  scripted_.device.systemShare = "USB_1";
  const InstallResult result = Install(kWestern);
  EXPECT_EQ(ReadsOf(scripted_, 12), 10);
  EXPECT_EQ(result.CopyFailed, 1);
  EXPECT_EQ(result.failure, InstallFailure::kUnexpectedShare);
  EXPECT_THAT(files_.Calls(), IsEmpty());
  EXPECT_THAT(SetsOf(scripted_), ElementsAre("10 rw", "13 stop"));
  EXPECT_THAT(DescribeInstallFailure(result), ::testing::HasSubstr("\"USB_1\""));
}

// A file left from an earlier run must not pass for one that could not be written.
TEST_F(InstallTest, AWriteCountsOnlyWhenTheWholePayloadIsThere) {
  const std::string first = Path("HDD_a\\.codepages", "codepage.850");
  const auto payload = language::LookUpPayload(143);
  files_.PutFile(first, FakeSmbFiles::Bytes(payload->bytes.begin(), payload->bytes.end()));
  files_.FailWrites(first, EACCES);
  InstallResult result = Install(kWestern);
  EXPECT_EQ(result.CopyFailed, 1);
  EXPECT_EQ(result.failedPath, first);
  EXPECT_THAT(result.written, IsEmpty());
  EXPECT_EQ(files_.Calls().size(), 3u) << "nothing after the first file";
  EXPECT_THAT(SetsOf(scripted_), ElementsAre("10 rw", "13 stop"));

  // The server took part of it and said nothing.
  int copyFailed = 0;
  CodepageWrite write;
  struct PartWrite : FakeSmbFiles {
    platform::SmbWriteResult WriteFile(std::string_view path,
                                       std::span<const std::uint8_t> bytes) override {
      FakeSmbFiles::WriteFile(path, bytes.first(bytes.size() - 1));
      return {bytes.size() - 1, 0};
    }
  } part;
  EXPECT_FALSE(WriteCodepageResource(part, 143, first, copyFailed, &write));
  EXPECT_EQ(copyFailed, 1);
  EXPECT_EQ(write.written, payload->bytes.size() - 1);

  // The server took it all, but the file on the device has another size.
  struct Shrinks : FakeSmbFiles {
    platform::SmbSizeResult FileSize(std::string_view path) override {
      platform::SmbSizeResult size = FakeSmbFiles::FileSize(path);
      size.size /= 2;
      return size;
    }
  } shrinks;
  EXPECT_FALSE(WriteCodepageResource(shrinks, 143, first, copyFailed));
  EXPECT_EQ(copyFailed, 1);

  // Access that cannot be opened is tried six times; the write still decides.
  FakeSmbFiles refusing;
  refusing.SetConnectResult(EACCES);
  EXPECT_TRUE(WriteCodepageResource(refusing, 143, first, copyFailed));
  EXPECT_EQ(copyFailed, 0);
  EXPECT_EQ(std::count(refusing.Calls().begin(), refusing.Calls().end(), "connect " + first), 6);
}

TEST_F(InstallTest, APathBeyondTheBufferIsNeitherCutNorWritten) {
  const InstallResult result = Install(kWestern, std::string(110, 'h'));
  EXPECT_EQ(result.failure, InstallFailure::kPathTooLong);
  EXPECT_EQ(result.CopyFailed, 1);
  EXPECT_THAT(files_.Calls(), IsEmpty());
  EXPECT_THAT(SetsOf(scripted_), ElementsAre("10 rw", "13 stop"));
}

}  // namespace
}  // namespace corvane::operations
