// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "platform/drive_mappings.h"
#include "platform/system_info.h"
#include "platform/testing/fake_drive_mappings.h"
#include "platform/testing/fake_system_info.h"
#include "platform/windows_version.h"

namespace corvane::platform {
namespace {

struct VersionCase {
  OsVersionRecord record;
  const char* name;
};

std::string NameOf(const OsVersionRecord& record) {
  std::string name = "left over";
  EXPECT_EQ(GetWindowsVersionName(record, name), 1);
  return name;
}

class WindowsVersionTable : public ::testing::TestWithParam<VersionCase> {};

TEST_P(WindowsVersionTable, NamesTheRecord) {
  EXPECT_EQ(NameOf(GetParam().record), GetParam().name);
}

// Every row with the builds on both sides of each border.
INSTANTIATE_TEST_SUITE_P(
    Rows, WindowsVersionTable,
    ::testing::Values(
        VersionCase{{1, 4, 0, 949}, "unknown Windows version"},
        VersionCase{{1, 4, 0, 950}, "Windows 95"}, VersionCase{{1, 4, 0, 951}, "Windows 95 SP1"},
        VersionCase{{1, 4, 3, 1080}, "Windows 95 SP1"},
        VersionCase{{1, 4, 0, 1081}, "Windows 95 OSR2"},
        VersionCase{{1, 4, 9, 0xFFFF}, "Windows 95 OSR2"},
        VersionCase{{1, 4, 10, 1997}, "unknown Windows version"},
        VersionCase{{1, 4, 10, 1998}, "Windows 98"},
        VersionCase{{1, 4, 10, 1999}, "Windows 98 SP1"},
        VersionCase{{1, 4, 10, 2182}, "Windows 98 SP1"},
        VersionCase{{1, 4, 10, 2183}, "Windows 98 SE"}, VersionCase{{1, 4, 90, 0}, "Windows ME"},
        VersionCase{{1, 4, 90, 3000}, "Windows ME"},
        VersionCase{{1, 4, 11, 2222}, "unknown Windows version"},
        VersionCase{{1, 4, 50, 2222}, "unknown Windows version"},
        VersionCase{{1, 5, 0, 950}, "unknown Windows version"},
        VersionCase{{1, 3, 10, 1998}, "unknown Windows version"},
        VersionCase{{2, 3, 51, 1057}, "Windows NT 3.51"},
        VersionCase{{2, 3, 50, 807}, "unknown Windows version"},
        VersionCase{{2, 4, 0, 1381}, "Windows NT 4"},
        VersionCase{{2, 4, 10, 1381}, "unknown Windows version"},
        VersionCase{{2, 5, 0, 2195}, "Windows 2000"}, VersionCase{{2, 5, 1, 2600}, "Windows XP"},
        VersionCase{{2, 5, 2, 3790}, "unknown Windows version"},
        VersionCase{{2, 6, 0, 6000}, "Vista"}, VersionCase{{2, 6, 1, 7601}, "Vista"},
        VersionCase{{2, 10, 0, 19045}, "unknown Windows version"},
        VersionCase{{3, 0, 0, 0}, "Windows CE"}, VersionCase{{3, 5, 2, 1}, "Windows CE"},
        VersionCase{{0, 6, 1, 0}, "unknown Windows version"},
        VersionCase{{4, 4, 10, 1998}, "unknown Windows version"}));

TEST(WindowsVersion, NineXBuildsCountOnlyTheirLow16Bits) {
  // The high word of a 9x build carries the version (4.10 here); it must not decide the row.
  EXPECT_EQ(NameOf({1, 4, 10, (4u << 24) | (10u << 16) | 1998u}), "Windows 98");
  EXPECT_EQ(NameOf({1, 4, 10, (4u << 24) | (10u << 16) | 2183u}), "Windows 98 SE");
  EXPECT_EQ(NameOf({1, 4, 0, 0x0400'0000u | 949u}), "unknown Windows version");
  EXPECT_EQ(NameOf({1, 4, 0, 0x0001'0000u | 950u}), "Windows 95");
  // NT builds are not cut: a huge NT build changes nothing.
  EXPECT_EQ(NameOf({2, 5, 1, 0xFFFF'FFFFu}), "Windows XP");
}

TEST(WindowsVersion, RefusedRecordIsUnknownWithResultZero) {
  std::string name = "Windows XP";
  EXPECT_EQ(GetWindowsVersionName(std::nullopt, name), 0);
  EXPECT_EQ(name, "unknown Windows version");
}

TEST(WindowsVersion, SubstringsTheCallersTestForMatchOnlyTheirFamilies) {
  const auto has = [](const std::string& name, const char* part) {
    return name.find(part) != std::string::npos;
  };
  EXPECT_TRUE(has(NameOf({1, 4, 90, 0}), "ME"));
  EXPECT_TRUE(has(NameOf({1, 4, 10, 2222}), "98"));
  EXPECT_FALSE(has(NameOf({2, 6, 0, 6000}), "ME"));
  EXPECT_TRUE(has(NameOf({2, 4, 0, 1381}), "NT"));
  EXPECT_FALSE(has(NameOf({2, 5, 1, 2600}), "NT"));
  EXPECT_FALSE(has(NameOf({0, 6, 1, 0}), "ME")) << "\"unknown Windows version\" has no \"ME\"";
}

TEST(LinuxSystemInfo, ReportsHonestlyThatThisIsNotWindows) {
  const auto system = MakeSystemInfo();
  const auto record = system->OsVersion();
  ASSERT_TRUE(record.has_value());
  EXPECT_EQ(record->platformId, 0u);
  std::string name;
  EXPECT_EQ(GetWindowsVersionName(record, name), 1);
  EXPECT_EQ(name, "unknown Windows version");
  EXPECT_GE(record->majorVersion, 2u) << "the kernel release fills the version numbers";
}

TEST(LinuxSystemInfo, UserNameIsTheLoggedOnUser) {
  const auto system = MakeSystemInfo();
  const std::string user = system->UserName();
  EXPECT_FALSE(user.empty());
  EXPECT_EQ(user.find('\0'), std::string::npos);
}

TEST(LinuxDriveMappings, NoConnectionsAndEveryLetterFree) {
  const auto drives = MakeDriveMappings();
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    EXPECT_EQ(drives->GetConnection(letter), std::nullopt) << letter;
    EXPECT_EQ(drives->GetDriveType(letter), DriveType::kNoRootDir) << letter;
  }
}

TEST(FakeDriveMappings, KeepsWhatTestsSetPerLetter) {
  testing::FakeDriveMappings drives;
  drives.Connect('Z', R"(\\server\docs)");
  drives.SetDriveType('C', DriveType::kFixed);
  drives.SetConnection('y', std::string(R"(\\nas\music)"));
  drives.SetConnection('?', std::string("ignored"));

  EXPECT_EQ(drives.GetConnection('Z'), R"(\\server\docs)");
  EXPECT_EQ(drives.GetDriveType('Z'), DriveType::kRemote);
  EXPECT_EQ(drives.GetConnection('Y'), R"(\\nas\music)");
  EXPECT_EQ(drives.GetDriveType('C'), DriveType::kFixed);
  EXPECT_EQ(drives.GetDriveType('D'), DriveType::kNoRootDir);
  EXPECT_EQ(drives.GetConnection('?'), std::nullopt);

  drives.SetConnection('Z', std::nullopt);
  EXPECT_EQ(drives.GetConnection('Z'), std::nullopt);
}

TEST(FakeSystemInfo, ReportsTheSetRecordAndCountsQueries) {
  testing::FakeSystemInfo system(testing::FakeSystemInfo::kWindows98Se, "alice");
  std::string name;
  GetWindowsVersionName(system.OsVersion(), name);
  EXPECT_EQ(name, "Windows 98 SE");
  EXPECT_EQ(system.UserName(), "alice");
  system.SetOsVersion(std::nullopt);
  EXPECT_EQ(GetWindowsVersionName(system.OsVersion(), name), 0);
  EXPECT_EQ(system.OsVersionCalls(), 2);
  EXPECT_EQ(system.UserNameCalls(), 1);
}

}  // namespace
}  // namespace corvane::platform
