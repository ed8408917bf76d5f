// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/unc_path.h"

#include <gtest/gtest.h>

namespace corvane::platform {
namespace {

TEST(UncPath, SplitsAPathAndWritesItAsAUrl) {
  const auto path = ParseUncPath("\\\\192.168.50.21\\HDD_1\\.systemfile\\.codepages\\x.ko");
  ASSERT_TRUE(path);
  EXPECT_EQ(path->host, "192.168.50.21");
  EXPECT_EQ(path->share, "HDD_1");
  EXPECT_EQ(path->folders, (std::vector<std::string>{".systemfile", ".codepages", "x.ko"}));
  EXPECT_EQ(SmbUrl(*path), "smb://192.168.50.21/HDD_1/.systemfile/.codepages/x.ko");

  EXPECT_TRUE(ParseShareName("\\\\NAS-ALDER\\Public"));
  EXPECT_FALSE(ParseShareName("\\\\NAS-ALDER\\Public\\sub"));
}

TEST(UncPath, RefusesNamesThatCouldPointElsewhere) {
  for (const char* text : {"",
                           "\\\\",
                           "\\\\host",
                           "\\\\host\\",
                           "\\\\\\share",
                           "//host/share",
                           "\\host\\share",
                           "\\\\ho/st\\share",
                           "\\\\host\\sh/are",
                           "\\\\host\\share\\\\file",
                           "\\\\host\\..\\x",
                           "\\\\host\\share\\..\\x",
                           "\\\\host\\share\\.\\x",
                           "\\\\user@host\\share",
                           "\\\\host:139\\share",
                           "\\\\host?x\\share",
                           "\\\\ho st\\share",
                           "\\\\ho\nst\\share",
                           "\\\\host\\sha\tre",
                           "\\\\host\\share\x7f"}) {
    EXPECT_FALSE(ParseUncPath(text)) << text;
  }
}

TEST(UncPath, EscapesEveryByteAUrlCouldRead) {
  const auto path = ParseUncPath("\\\\nas\\my docs?#%;\\\xC3\xA4.txt");
  ASSERT_TRUE(path);
  EXPECT_EQ(SmbUrl(*path), "smb://nas/my%20docs%3F%23%25%3B/%C3%A4.txt");
}

}  // namespace
}  // namespace corvane::platform
