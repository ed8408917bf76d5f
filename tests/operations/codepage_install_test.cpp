// SPDX-License-Identifier: GPL-3.0-or-later
// The language checks and the installer against a scripted device and in-memory files: what is
// asked in which order, where the files go, and when a write counts as done. The order and
// contents of the files on real Samba shares are codepage_install_lab_test.cpp's.
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

// What each answer means is shown in the window's lab test; here, how often the device is asked.
TEST(CheckLanguageSupport, FourTriesForTheDiskStateThenTheCodepageOnlyForAReadyDisk) {
  struct Case {
    std::string ideok;
    bool answers;
    DiskState disk;
    int diskReads;
  };
  for (const Case& c :
       {Case{"3", true, DiskState::kReady, 1}, Case{"2", true, DiskState::kNotFormatted, 1},
        Case{"4", true, DiskState::kNoLanguages, 1}, Case{"", false, DiskState::kNoLanguages, 4}}) {
    ScriptedSession scripted;
    scripted.device.ideok = c.ideok;
    if (!c.answers) scripted.device.unanswered = {11};
    RecordingInteraction user;
    const LanguageCheck check = CheckLanguageSupport(scripted.session, user);
    EXPECT_EQ(check.disk, c.disk) << c.ideok;
    EXPECT_EQ(ReadsOf(scripted, 11), c.diskReads) << c.ideok;
    EXPECT_EQ(ReadsOf(scripted, 9), c.disk == DiskState::kReady ? 1 : 0) << c.ideok;
  }
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

// No answer at all means the first layout; a name of neither layout means no files anywhere.
TEST_F(InstallTest, TheShareLookupAsksTenTimesThenDecides) {
  scripted_.device.unanswered = {12};
  const InstallResult silent = Install(kWestern);
  EXPECT_EQ(ReadsOf(scripted_, 12), 10);
  EXPECT_EQ(silent.CopyFailed, 0);
  EXPECT_EQ(silent.written.front(), Path("HDD_a\\.codepages", "codepage.850"));
  EXPECT_EQ(silent.written.size(), 3u);

  ScriptedSession other;
  other.device.systemShare = "USB_1";
  FakeSmbFiles untouched;
  const InstallResult result =
      InstallCodepageFiles(other.session, untouched, kWestern, kHost, user_);
  EXPECT_EQ(ReadsOf(other, 12), 10);
  EXPECT_EQ(result.failure, InstallFailure::kUnexpectedShare);
  EXPECT_EQ(result.CopyFailed, 1);
  EXPECT_THAT(untouched.Calls(), IsEmpty());
  EXPECT_THAT(SetsOf(other), ElementsAre("10 rw", "13 stop"));
}

// A file left from an earlier run must not pass for one that could not be written (the lab
// test has a read-only share holding such files); neither may a short file.
TEST(WriteCodepageResource, CountsOnlyWhenTheWholePayloadIsThere) {
  const std::string first = Path("HDD_a\\.codepages", "codepage.850");
  const auto payload = language::LookUpPayload(143);
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

  // A server that did not answer, or a host that is not there, would only cost each further
  // call its whole bound again: one try, and the file fails with it.
  for (const int silence : {ETIMEDOUT, EHOSTUNREACH}) {
    FakeSmbFiles silent;
    silent.SetConnectResult(silence);
    EXPECT_FALSE(WriteCodepageResource(silent, 143, first, copyFailed, &write));
    EXPECT_EQ(write.error, silence);
    EXPECT_THAT(silent.Calls(), ElementsAre("connect " + first));
  }
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
