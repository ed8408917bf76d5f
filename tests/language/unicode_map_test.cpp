// SPDX-License-Identifier: GPL-3.0-or-later
// The codepage tables and unicode maps against glibc's converters.
#include <gtest/gtest.h>

#include <clocale>
#include <cwctype>
#include <set>
#include <vector>

#include "iconv_codec.h"
#include "language/payload_catalogue.h"

namespace corvane::language {
namespace {

using testing::CodeBytes;
using testing::IconvCodec;

struct UnicodeMap {
  std::vector<unsigned> toUnicode;    // indexed by code
  std::vector<unsigned> fromUnicode;  // indexed by character
};

UnicodeMap ParseMap(int id) {
  const auto bytes = LookUpPayload(id).value().bytes;
  auto u16 = [&](std::size_t at) { return unsigned(bytes[at] | bytes[at + 1] << 8); };
  const std::size_t to_length = u16(22) | u16(24) << 16;
  UnicodeMap map;
  for (std::size_t at = 30; at < 30 + to_length; at += 2) map.toUnicode.push_back(u16(at));
  for (std::size_t at = 30 + to_length; at < bytes.size(); at += 2) {
    map.fromUnicode.push_back(u16(at));
  }
  return map;
}

struct MapCase {
  int id;
  std::string page;
  std::string iconvName;
};

class UnicodeMapTest : public ::testing::TestWithParam<MapCase> {};

TEST_P(UnicodeMapTest, EveryMappedCodeDecodesAsIconvDoes) {
  const MapCase& param = GetParam();
  const UnicodeMap map = ParseMap(param.id);
  const IconvCodec codec(param.iconvName);
  std::size_t mapped = 0;
  for (unsigned code = 1; code < map.toUnicode.size(); ++code) {
    if (map.toUnicode[code] == 0) continue;
    ++mapped;
    ASSERT_EQ(codec.Decode(CodeBytes(code)), char32_t(map.toUnicode[code]))
        << param.page << " code " << std::hex << code;
  }
  EXPECT_GE(mapped, map.toUnicode.size() == 256 ? 255u : 8000u);
}

TEST_P(UnicodeMapTest, MapsEveryCodeOfTheClassicTable) {
  const MapCase& param = GetParam();
  const UnicodeMap map = ParseMap(param.id);
  const IconvCodec codec(param.iconvName);
  for (unsigned code = 1; code < map.toUnicode.size(); ++code) {
    if (code > 0xFF && (code >> 8 < 0x80 || (code & 0xFF) < 0x40)) continue;
    const auto c = codec.Decode(CodeBytes(code));
    if (!c || testing::IsPrivateUse(*c) || testing::LeftOutOfClassicTable(param.page, code))
      continue;
    ASSERT_EQ(map.toUnicode[code], unsigned(*c)) << param.page << " code " << std::hex << code;
  }
}

TEST_P(UnicodeMapTest, UnicodeToCodePageRoundTrips) {
  const UnicodeMap map = ParseMap(GetParam().id);
  ASSERT_EQ(map.fromUnicode.size(), 65536u);
  EXPECT_EQ(map.fromUnicode[0], 0u);
  std::set<unsigned> decodable;
  for (unsigned c : map.toUnicode) decodable.insert(c);
  for (unsigned c = 1; c < 65536; ++c) {
    const unsigned code = map.fromUnicode[c];
    if (code == 0x5F && c != 0x5F) {
      ASSERT_FALSE(decodable.count(c)) << "U+" << std::hex << c << " has a code but maps to '_'";
      continue;
    }
    ASSERT_LT(code, map.toUnicode.size());
    ASSERT_EQ(map.toUnicode[code], c) << "U+" << std::hex << c;
  }
}

INSTANTIATE_TEST_SUITE_P(
    AllMaps, UnicodeMapTest,
    ::testing::Values(MapCase{148, "850", "CP850"}, MapCase{184, "KOI8-R", "KOI8-R"},
                      MapCase{164, "932", "CP932"}, MapCase{160, "936", "GBK"},
                      MapCase{168, "949", "CP949"}, MapCase{156, "950", "CP950"}),
    [](const ::testing::TestParamInfo<MapCase>& test) {
      return "Page" + std::string(test.param.page == "KOI8-R" ? "Koi8R" : test.param.page);
    });

TEST(UnicodeMap932, JisRowCodesWinOverTheirNecAndIbmDuplicates) {
  const UnicodeMap map = ParseMap(164);
  EXPECT_EQ(map.fromUnicode[0xFFE2], 0x81CAu);  // not-sign, also 0xEEF9 and 0xFA54
  EXPECT_EQ(map.fromUnicode[0x2252], 0x81E0u);  // also 0x8790 and 0xFA5B
  EXPECT_EQ(map.fromUnicode[0x2235], 0x81E6u);  // also 0x879A and 0xFA5B
  EXPECT_EQ(map.fromUnicode[0x2170], 0xFA40u);  // small roman one: IBM code after NEC-selected
}

// Codepage tables: (lower, upper, 1, 1) case pairs sorted by the lower
// character, then (code, 0, 0, 0) for codes without a partner.
struct CaseEntry {
  unsigned lower, upper, flag1, flag2;
};

std::vector<CaseEntry> ParseCodepage(int id) {
  const auto bytes = LookUpPayload(id).value().bytes;
  std::vector<CaseEntry> entries;
  for (std::size_t at = 8; at + 4 <= bytes.size(); at += 4) {
    entries.push_back({bytes[at], bytes[at + 1], bytes[at + 2], bytes[at + 3]});
  }
  return entries;
}

void CheckCaseTable(int id, const std::string& charset, std::size_t pairs,
                    const std::vector<unsigned>& unpaired) {
  ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
  const IconvCodec codec(charset);
  const std::vector<CaseEntry> entries = ParseCodepage(id);
  ASSERT_EQ(entries.size(), pairs + unpaired.size());
  char32_t previous = 0;
  for (std::size_t i = 0; i < pairs; ++i) {
    const CaseEntry& e = entries[i];
    EXPECT_EQ(e.flag1, 1u);
    EXPECT_EQ(e.flag2, 1u);
    const auto lower = codec.Decode(CodeBytes(e.lower));
    const auto upper = codec.Decode(CodeBytes(e.upper));
    ASSERT_TRUE(lower && upper) << i;
    EXPECT_EQ(std::towupper(wint_t(*lower)), wint_t(*upper)) << std::hex << e.lower;
    EXPECT_GT(*lower, previous) << "pairs out of order at " << i;
    previous = *lower;
  }
  for (std::size_t i = 0; i < unpaired.size(); ++i) {
    const CaseEntry& e = entries[pairs + i];
    EXPECT_EQ(e.lower, unpaired[i]) << i;
    EXPECT_EQ(e.upper + e.flag1 + e.flag2, 0u) << i;
  }
}

TEST(CodepageTable, Page850HasThirtyCasePairsOfHighCodesAndThePoundSign) {
  CheckCaseTable(143, "CP850", 30, {0x9C});
  for (const CaseEntry& e : ParseCodepage(143)) {
    if (e.flag1) {
      EXPECT_TRUE(e.lower >= 0x80 && e.upper >= 0x80) << std::hex << e.lower;
    }
  }
}

TEST(CodepageTable, Page866HasEveryCasePairAndItsUnpairedMarks) {
  std::vector<unsigned> unpaired;
  for (unsigned c : std::string("0123456789!#$%&'()-@^_`{}~\x7f")) unpaired.push_back(c & 0xFF);
  for (unsigned c = 0xB0; c <= 0xDF; ++c) unpaired.push_back(c);
  for (unsigned c = 0xF8; c <= 0xFF; ++c) unpaired.push_back(c);
  std::sort(unpaired.begin(), unpaired.end());
  CheckCaseTable(169, "CP866", 62, unpaired);
}

}  // namespace
}  // namespace corvane::language
