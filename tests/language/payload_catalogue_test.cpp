// SPDX-License-Identifier: GPL-3.0-or-later
#include "language/payload_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace corvane::language {
namespace {

struct Expected {
  int id;
  const char* name;
  std::size_t size;
};

// The installer's catalogue: resource id, device file name, size in bytes.
constexpr Expected kExpected[] = {
    {143, "codepage.850", 132},       {145, "nls_cp850.o", 5020},
    {148, "unicode_map.850", 131614}, {151, "codepage.950", 8},
    {153, "nls_cp950.o", 106268},     {155, "nls_big5.o", 1724},
    {156, "unicode_map.950", 262174}, {157, "codepage.936", 8},
    {158, "nls_cp936.o", 129244},     {159, "nls_gb2312.o", 1728},
    {160, "unicode_map.936", 262174}, {161, "codepage.932", 8},
    {162, "nls_cp932.o", 82848},      {163, "nls_euc-jp.o", 6364},
    {164, "unicode_map.932", 262174}, {165, "codepage.949", 8},
    {166, "nls_cp949.o", 152216},     {167, "nls_euc-kr.o", 1728},
    {168, "unicode_map.949", 262174}, {169, "codepage.866", 588},
    {170, "nls_cp866.o", 5308},       {171, "unicode_map.866", 588},
    {172, "nls_sjis.o", 1724},        {173, "nls_cp932.ko", 82562},
    {174, "nls_cp950.ko", 105791},    {175, "nls_cp936.ko", 128599},
    {176, "nls_cp949.ko", 151405},    {177, "nls_cp866.ko", 6006},
    {178, "nls_euc-jp.ko", 6809},     {179, "nls_cp850.ko", 5719},
    {183, "nls_koi8-r.ko", 6010},     {184, "unicode_map.KOI8-R", 131614},
    {185, "nls_koi8-r.o", 5312},      {187, "nls_cp850_12.ko", 5783},
    {188, "nls_cp866_12.ko", 6070},   {189, "nls_cp932_12.ko", 82995},
    {190, "nls_cp936_12.ko", 128695}, {191, "nls_cp949_12.ko", 151501},
    {192, "nls_cp950_12.ko", 105887}, {193, "nls_euc-jp_12.ko", 6921},
    {194, "nls_koi8-r_12.ko", 6074},
};

unsigned Le16(std::span<const std::uint8_t> b, std::size_t at) {
  return b[at] | b[at + 1] << 8;
}
unsigned Le32(std::span<const std::uint8_t> b, std::size_t at) {
  return Le16(b, at) | Le16(b, at + 2) << 16;
}
bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

TEST(PayloadCatalogue, HoldsExactlyTheCataloguedIdsNamesAndSizes) {
  ASSERT_EQ(AllPayloads().size(), std::size(kExpected));
  for (std::size_t i = 0; i < std::size(kExpected); ++i) {
    const Payload& payload = AllPayloads()[i];
    EXPECT_EQ(payload.id, kExpected[i].id);
    EXPECT_EQ(payload.fileName, kExpected[i].name);
    EXPECT_EQ(payload.bytes.size(), kExpected[i].size) << kExpected[i].name;
    const auto found = LookUpPayload(kExpected[i].id);
    ASSERT_TRUE(found.has_value()) << kExpected[i].id;
    EXPECT_EQ(found->bytes.data(), payload.bytes.data());
    EXPECT_EQ(PayloadFileName(kExpected[i].id), kExpected[i].name);
  }
}

TEST(PayloadCatalogue, UnknownIdsFailClearly) {
  for (int id : {0, -1, 142, 144, 146, 180, 186, 195, 1028}) {
    EXPECT_FALSE(LookUpPayload(id).has_value()) << id;
    EXPECT_TRUE(PayloadFileName(id).empty()) << id;
  }
}

TEST(PayloadCatalogue, UnicodeMap866RepeatsCodepage866) {
  const auto table = LookUpPayload(169);
  const auto map = LookUpPayload(171);
  ASSERT_TRUE(table && map);
  ASSERT_EQ(map->bytes.size(), 588u);
  EXPECT_TRUE(
      std::equal(map->bytes.begin(), map->bytes.end(), table->bytes.begin(), table->bytes.end()));
}

TEST(PayloadCatalogue, CodepageHeadersNameTheirPageAndEntryBytes) {
  const std::pair<int, unsigned> pages[] = {{143, 850}, {151, 950}, {157, 936},
                                            {161, 932}, {165, 949}, {169, 866}};
  for (const auto& [id, page] : pages) {
    const auto payload = LookUpPayload(id);
    ASSERT_TRUE(payload);
    const auto bytes = payload->bytes;
    EXPECT_EQ(Le16(bytes, 0), 1u) << id;
    EXPECT_EQ(Le16(bytes, 2), page) << id;
    EXPECT_EQ(Le32(bytes, 4), bytes.size() - 8) << id;
    EXPECT_EQ((bytes.size() - 8) % 4, 0u) << id;
    if (page == 932 || page == 936 || page == 949 || page == 950) {
      EXPECT_EQ(bytes.size(), 8u) << id;
    }
  }
  EXPECT_EQ(Le32(LookUpPayload(143)->bytes, 4) / 4, 31u);
  EXPECT_EQ(Le32(LookUpPayload(169)->bytes, 4) / 4, 145u);
}

TEST(PayloadCatalogue, UnicodeMapHeadersMatchTheirKind) {
  const std::pair<int, const char*> maps[] = {{148, "850"}, {156, "950"}, {160, "936"},
                                              {164, "932"}, {168, "949"}, {184, "KOI8-R"}};
  for (const auto& [id, name] : maps) {
    const auto bytes = LookUpPayload(id)->bytes;
    EXPECT_EQ(bytes[0], 0x01) << id;
    EXPECT_EQ(bytes[1], 0x80) << id;
    char field[20];
    std::memcpy(field, bytes.data() + 2, sizeof field);
    EXPECT_STREQ(field, name) << id;
    EXPECT_TRUE(std::all_of(field + std::strlen(name), field + sizeof field, [](char c) {
      return c == 0;
    })) << id;
    const bool double_byte = bytes.size() == 262174;
    EXPECT_EQ(Le32(bytes, 22), double_byte ? 131072u : 512u) << id;
    EXPECT_EQ(Le32(bytes, 26), 131072u) << id;
    EXPECT_EQ(30 + Le32(bytes, 22) + Le32(bytes, 26), bytes.size()) << id;
  }
}

TEST(PayloadCatalogue, ModulesAreRelocatableObjectsForTheirProcessor) {
  for (const Payload& payload : AllPayloads()) {
    if (!StartsWith(payload.fileName, "nls_")) continue;
    const auto bytes = payload.bytes;
    ASSERT_GE(bytes.size(), 52u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4),
              "\x7f"
              "ELF")
        << payload.fileName;
    const bool powerpc = payload.fileName.ends_with(".o");
    EXPECT_EQ(bytes[5], powerpc ? 2 : 1) << payload.fileName;  // big- or little-endian
    const unsigned machine = powerpc ? (bytes[18] << 8 | bytes[19]) : Le16(bytes, 18);
    EXPECT_EQ(machine, powerpc ? 20u : 40u) << payload.fileName;
  }
}

}  // namespace
}  // namespace corvane::language
