// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/drive_map.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/testing/fake_drive_mappings.h"

namespace corvane::app {
namespace {

using platform::DriveType;
using platform::testing::FakeDriveMappings;

struct Scanned {
  DriveMapTable table{};
  DriveComboContent combo;
};

Scanned Scan(const FakeDriveMappings& drives) {
  Scanned result;
  ScanDriveMappings(result.table, drives);
  result.combo = MakeDriveComboContent(result.table, drives);
  return result;
}

TEST(DriveComboTest, ConnectedLetterIsShownWithItsShareAndFirstFreeLetterIsPreselected) {
  FakeDriveMappings drives;
  drives.Connect('D', "\\\\server\\media");
  drives.Connect('Z', "\\\\server\\docs");
  const Scanned scanned = Scan(drives);

  ASSERT_EQ(scanned.combo.entries.size(), 23u);  // D to Z
  EXPECT_EQ(scanned.combo.entries.front(), "D: \\\\server\\media");
  EXPECT_EQ(scanned.combo.entries.back(), "Z: \\\\server\\docs");
  ASSERT_EQ(scanned.combo.selection, 1);
  EXPECT_EQ(scanned.combo.entries[1], "E:");
}

TEST(DriveComboTest, FloppyAndSystemLettersAndLocalMediaAreNeverOffered) {
  FakeDriveMappings drives;
  drives.SetDriveType('A', DriveType::kRemote);  // even a connected A: stays out
  drives.Connect('A', "\\\\server\\a");
  drives.SetDriveType('C', DriveType::kNoRootDir);
  for (const char letter : {'D', 'E', 'F', 'G'}) drives.SetDriveType(letter, DriveType::kLocal);
  drives.SetDriveType('H', DriveType::kUnknown);
  const Scanned scanned = Scan(drives);

  ASSERT_EQ(scanned.combo.entries.size(), 19u);  // H to Z
  EXPECT_EQ(scanned.combo.entries.front(), "H:");
  EXPECT_EQ(scanned.combo.selection, 0);
}

TEST(DriveComboTest, NoSelectionWhenEveryLetterIsTaken) {
  FakeDriveMappings drives;
  for (char letter = 'D'; letter <= 'Y'; ++letter) drives.SetDriveType(letter, DriveType::kLocal);
  drives.Connect('Z', "\\\\nas\\public");
  const Scanned scanned = Scan(drives);

  ASSERT_EQ(scanned.combo.entries.size(), 1u);
  EXPECT_EQ(scanned.combo.selection, -1);
}

TEST(DriveMapTest, ScanSplitsServerAndShareAndForgetsRemovedConnections) {
  FakeDriveMappings drives;
  drives.Connect('X', "\\\\nas\\public\\sub");
  DriveMapTable table{};
  ScanDriveMappings(table, drives);
  const DriveMapEntry& x = table['X' - 'A'];
  EXPECT_EQ(x.drive, std::string_view("X:"));
  EXPECT_EQ(x.host, std::string_view("nas"));
  EXPECT_EQ(x.share, std::string_view("public\\sub"));

  drives.SetConnection('X', std::nullopt);
  ScanDriveMappings(table, drives);
  EXPECT_TRUE(table['X' - 'A'].host.empty());
  EXPECT_TRUE(table['X' - 'A'].share.empty());
}

TEST(DriveMapTest, UnsplittableConnectionDoesNotKeepTheOldOne) {
  FakeDriveMappings drives;
  drives.Connect('X', "\\\\nas\\public");
  DriveMapTable table{};
  ScanDriveMappings(table, drives);
  drives.Connect('X', "\\\\nas");
  ScanDriveMappings(table, drives);
  EXPECT_TRUE(table['X' - 'A'].host.empty());
  EXPECT_EQ(MakeDriveComboContent(table, drives).entries[20], "X:");
}

TEST(DriveForShareTest, HostMatchesNameOrAddressWithCaseOnlyIgnoredOnSelection) {
  FakeDriveMappings drives;
  drives.Connect('P', "\\\\NAS\\Public");
  drives.Connect('Q', "\\\\192.168.50.21\\music");
  DriveMapTable table{};
  ScanDriveMappings(table, drives);

  EXPECT_EQ(DriveForShare(table, "nas", "192.168.50.21", "public", true), "P:");
  EXPECT_EQ(DriveForShare(table, "nas", "192.168.50.21", "public", false), "");
  EXPECT_EQ(DriveForShare(table, "NAS", "192.168.50.21", "PUBLIC", false), "P:");
  EXPECT_EQ(DriveForShare(table, "other", "192.168.50.21", "MUSIC", false), "Q:");
  EXPECT_EQ(DriveForShare(table, "nas", "192.168.50.22", "music", true), "");
}

TEST(DriveForShareTest, LaterLetterWinsAndUnconnectedLettersNeverMatch) {
  FakeDriveMappings drives;
  drives.Connect('M', "\\\\nas\\public");
  drives.Connect('R', "\\\\nas\\public");
  DriveMapTable table{};
  ScanDriveMappings(table, drives);
  EXPECT_EQ(DriveForShare(table, "nas", "", "public", true), "R:");
  // A device without a name and a share without a name must not pick up a free letter.
  EXPECT_EQ(DriveForShare(table, "", "", "", true), "");
}

}  // namespace
}  // namespace corvane::app
