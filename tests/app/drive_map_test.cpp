// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/drive_map.h"

#include <gtest/gtest.h>

#include <map>

#include "drive_test_double.h"

namespace corvane::app {
namespace {

using platform::DriveType;
using test::DriveTestDouble;

struct Scanned {
  DriveMapTable table{};
  DriveComboContent combo;
};

Scanned Scan(const DriveTestDouble& drives) {
  Scanned result;
  ScanDriveMappings(result.table, drives);
  result.combo = MakeDriveComboContent(result.table, drives);
  return result;
}

TEST(DriveComboTest, ConnectedLetterIsShownWithItsShareAndFirstFreeLetterIsPreselected) {
  DriveTestDouble drives;
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
  DriveTestDouble drives;
  drives.SetType('A', DriveType::kRemote);  // even a connected A: stays out
  drives.Connect('A', "\\\\server\\a");
  drives.SetType('C', DriveType::kNoRootDir);
  drives.SetType('D', DriveType::kFixed);
  drives.SetType('E', DriveType::kRemovable);
  drives.SetType('F', DriveType::kCdRom);
  drives.SetType('G', DriveType::kRamDisk);
  drives.SetType('H', DriveType::kUnknown);
  const Scanned scanned = Scan(drives);

  ASSERT_EQ(scanned.combo.entries.size(), 19u);  // H to Z
  EXPECT_EQ(scanned.combo.entries.front(), "H:");
  EXPECT_EQ(scanned.combo.selection, 0);
}

TEST(DriveComboTest, NoSelectionWhenEveryLetterIsTaken) {
  DriveTestDouble drives;
  for (char letter = 'D'; letter <= 'Y'; ++letter) drives.SetType(letter, DriveType::kFixed);
  drives.Connect('Z', "\\\\nas\\public");
  const Scanned scanned = Scan(drives);

  ASSERT_EQ(scanned.combo.entries.size(), 1u);
  EXPECT_EQ(scanned.combo.selection, -1);
}

TEST(DriveMapTest, ScanSplitsServerAndShareAndForgetsRemovedConnections) {
  DriveTestDouble drives;
  drives.Connect('X', "\\\\nas\\public\\sub");
  DriveMapTable table{};
  ScanDriveMappings(table, drives);
  const DriveMapEntry& x = table['X' - 'A'];
  EXPECT_EQ(x.drive, std::string_view("X:"));
  EXPECT_EQ(x.host, std::string_view("nas"));
  EXPECT_EQ(x.share, std::string_view("public\\sub"));

  drives.Disconnect('X');
  ScanDriveMappings(table, drives);
  EXPECT_TRUE(table['X' - 'A'].host.empty());
  EXPECT_TRUE(table['X' - 'A'].share.empty());
}

TEST(DriveMapTest, UnsplittableConnectionDoesNotKeepTheOldOne) {
  DriveTestDouble drives;
  drives.Connect('X', "\\\\nas\\public");
  DriveMapTable table{};
  ScanDriveMappings(table, drives);
  drives.Connect('X', "\\\\nas");
  ScanDriveMappings(table, drives);
  EXPECT_TRUE(table['X' - 'A'].host.empty());
  EXPECT_EQ(MakeDriveComboContent(table, drives).entries[20], "X:");
}

TEST(DriveForShareTest, HostMatchesNameOrAddressWithCaseOnlyIgnoredOnSelection) {
  DriveTestDouble drives;
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
  DriveTestDouble drives;
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
