// SPDX-License-Identifier: GPL-3.0-or-later
// The installer against simulated devices with real Samba shares (tests/language/lab/
// language.json), inside a desktop session of the test's own: what lands on the share, in
// which order, byte for byte, and what the device is told before and after.
#include <sys/inotify.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "language/payload_catalogue.h"
#include "operations/codepage_install.h"
#include "operations/testing/unattended_interaction.h"
#include "platform/smb_files.h"
#include "share_lab.h"
#include "support/lab_support.h"

namespace corvane::operations {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct LabDevice {
  const char* id;
  const char* address;
  const char* share;
  const char* folder;  // inside the share
};

constexpr LabDevice kCedar{"cedar", "192.168.50.31", "HDD_a", ".codepages"};
constexpr LabDevice kDogwood{"dogwood", "192.168.50.32", "HDD_1", ".systemfile/.codepages"};
constexpr LabDevice kElm{"elm", "192.168.50.33", "HDD_a", ".codepages"};
constexpr LabDevice kFir{"fir", "192.168.50.34", "HDD_a", ".codepages"};

// The files of each language, layout 1 then layout 2, in the order the device must get them.
struct Expected {
  const char* codepage;
  std::vector<std::string> layout1;
  std::vector<std::string> layout2;
};
const std::vector<Expected>& ExpectedFiles() {
  static const std::vector<Expected> table = {
      {"950",
       {"codepage.950", "nls_cp950.o", "nls_big5.o", "unicode_map.950"},
       {"codepage.950", "nls_cp950.ko", "nls_cp950_12.ko", "unicode_map.950"}},
      {"936",
       {"codepage.936", "nls_cp936.o", "nls_gb2312.o", "unicode_map.936"},
       {"codepage.936", "nls_cp936.ko", "nls_cp936_12.ko", "unicode_map.936"}},
      {"850",
       {"codepage.850", "nls_cp850.o", "unicode_map.850"},
       {"codepage.850", "nls_cp850.ko", "nls_cp850_12.ko", "unicode_map.850"}},
      {"932",
       {"codepage.932", "nls_cp932.o", "nls_euc-jp.o", "nls_sjis.o", "unicode_map.932"},
       {"codepage.932", "nls_cp932.ko", "nls_euc-jp.ko", "nls_cp932_12.ko", "nls_euc-jp_12.ko",
        "unicode_map.932"}},
      {"949",
       {"codepage.949", "nls_cp949.o", "nls_euc-kr.o", "unicode_map.949"},
       {"codepage.949", "nls_cp949.ko", "nls_cp949_12.ko", "unicode_map.949"}},
      {"866",
       {"codepage.866", "nls_cp866.o", "nls_koi8-r.o", "unicode_map.866", "unicode_map.KOI8-R"},
       {"codepage.866", "nls_cp866.ko", "nls_koi8-r.ko", "nls_cp866_12.ko", "nls_koi8-r_12.ko",
        "unicode_map.866", "unicode_map.KOI8-R"}},
  };
  return table;
}

std::string Folder(const LabDevice& device) {
  return lab::ShareFolder(device.id, device.share) + "/" + device.folder;
}

std::string CatalogueBytes(std::string_view fileName) {
  for (const language::Payload& payload : language::AllPayloads()) {
    if (payload.fileName == fileName)
      return std::string(payload.bytes.begin(), payload.bytes.end());
  }
  return {};
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// The names the files took on the share, in the order they took them: each is written beside
// its place and moved there once whole, which is when the device gets it.
class WriteOrder {
 public:
  explicit WriteOrder(const std::string& folder) : fd_(inotify_init1(IN_NONBLOCK)) {
    inotify_add_watch(fd_, folder.c_str(), IN_MOVED_TO);
  }
  ~WriteOrder() { close(fd_); }

  std::vector<std::string> Names() {
    std::vector<std::string> names;
    alignas(inotify_event) char buffer[64 * 1024];
    ssize_t length = 0;
    while ((length = read(fd_, buffer, sizeof buffer)) > 0) {
      for (char* at = buffer; at < buffer + length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(at);
        if (event->len > 0) names.emplace_back(event->name);
        at += sizeof(inotify_event) + event->len;
      }
    }
    return names;
  }

 private:
  int fd_;
};

// Item code and text of each set request the device got since the mark.
std::vector<std::string> SetRequestsSince(const LabDevice& device, std::size_t mark) {
  std::vector<std::string> sets;
  const std::vector<lab::LoggedDatagram> log = lab::DeviceLog(device.id);
  for (std::size_t k = mark; k < log.size(); ++k) {
    const std::string& hex = log[k].hex;
    if (hex.size() < 120 || hex.substr(0, 2) != "05") continue;
    std::string payload;
    for (std::size_t at = 120; at + 1 < hex.size(); at += 2) {
      payload += static_cast<char>(std::stoi(hex.substr(at, 2), nullptr, 16));
    }
    sets.push_back(std::to_string(std::stoi(hex.substr(42, 2), nullptr, 16)) + " " + payload);
  }
  return sets;
}

nlohmann::json State(const LabDevice& device) {
  return nlohmann::json::parse(lab::DeviceState(device.id));
}

class InstallLabTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lab::InDesktopSession()) << "run inside tools/lab/session.sh";
    session_.SetTraceSink([](std::string_view) {});
    session_.OpenTransport();
    session_.SearchDevices(protocol::kSearchFilter, protocol::kSearchFilter);
  }
  void TearDown() override { EXPECT_TRUE(lab::ResetDevices()); }

  InstallResult Install(const LabDevice& device, int languageIndex) {
    session_.SelectedAddress.Set(device.address);
    mark_ = lab::DeviceLog(device.id).size();
    return InstallCodepageFiles(session_, *files_, languageIndex, device.address, user_);
  }

  protocol::Session session_;
  std::unique_ptr<platform::SmbFiles> files_ = platform::MakeSmbFiles();
  testing::UnattendedInteraction user_;
  std::size_t mark_ = 0;
};

TEST_F(InstallLabTest, EveryLanguageInBothLayoutsWritesItsFilesInOrderByteForByte) {
  for (const LabDevice* device : {&kCedar, &kDogwood}) {
    for (int index = 0; index < 6; ++index) {
      const Expected& expected = ExpectedFiles()[static_cast<std::size_t>(index)];
      const std::vector<std::string>& names =
          device == &kCedar ? expected.layout1 : expected.layout2;
      SCOPED_TRACE(std::string(device->id) + " " + expected.codepage);
      for (const auto& old : fs::directory_iterator(Folder(*device))) fs::remove(old.path());

      WriteOrder order(Folder(*device));
      const InstallResult result = Install(*device, index);
      ASSERT_EQ(result.CopyFailed, 0) << DescribeInstallFailure(result);
      EXPECT_EQ(order.Names(), names);
      std::vector<std::string> sorted = names;
      std::sort(sorted.begin(), sorted.end());
      EXPECT_EQ(FilesIn(Folder(*device)), sorted);
      for (const std::string& name : names) {
        const std::string stored = lab::ReadWholeFile(Folder(*device) + "/" + name);
        EXPECT_TRUE(stored == CatalogueBytes(name)) << name << " differs from its payload";
      }
      EXPECT_THAT(SetRequestsSince(*device, mark_),
                  ElementsAre("10 rw", "8 " + std::string(expected.codepage)));
      EXPECT_EQ(State(*device)["codepage"], expected.codepage);
      EXPECT_EQ(State(*device)["rw"], "rw");
    }
  }
}

TEST_F(InstallLabTest, AMissingFolderOrAReadOnlyShareFailsOnTheFirstFileAndStops) {
  // elm has no .codepages folder; fir's share is read-only and holds the files of an earlier
  // run, which must not pass for the new ones.
  for (const LabDevice* device : {&kElm, &kFir}) {
    SCOPED_TRACE(device->id);
    const bool hadFolder = fs::exists(Folder(*device));
    const std::vector<std::string> before =
        hadFolder ? FilesIn(Folder(*device)) : std::vector<std::string>{};
    const InstallResult result = Install(*device, 2);
    EXPECT_EQ(result.CopyFailed, 1);
    EXPECT_EQ(result.failedPath,
              std::string("\\\\") + device->address + "\\HDD_a\\.codepages\\codepage.850");
    EXPECT_EQ(result.failedWrite.error, device == &kElm ? ENOENT : EACCES);
    EXPECT_THAT(result.written, IsEmpty());
    EXPECT_EQ(fs::exists(Folder(*device)), hadFolder);
    if (hadFolder) {
      EXPECT_EQ(FilesIn(Folder(*device)), before);
      EXPECT_EQ(lab::ReadWholeFile(Folder(*device) + "/codepage.850"), "older table\n");
    }
    EXPECT_THAT(SetRequestsSince(*device, mark_), ElementsAre("10 rw", "13 stop"));
    EXPECT_EQ(State(*device)["stop"], "stop");
    EXPECT_EQ(State(*device)["codepage"], "850");
  }
}

}  // namespace
}  // namespace corvane::operations
