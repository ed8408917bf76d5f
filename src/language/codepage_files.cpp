// SPDX-License-Identifier: GPL-3.0-or-later
#include "language/codepage_files.h"

#include "platform/ascii_case.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <vector>

namespace corvane::language {

namespace {

constexpr std::string_view kLayout1Share = "HDD_a";
constexpr std::string_view kLayout2Share = "HDD_1";
constexpr std::string_view kLayout1Directory = "HDD_a\\.codepages";
constexpr std::string_view kLayout2Folders = "\\.systemfile\\.codepages";

struct FileRow {
  std::vector<int> layout1;
  std::vector<int> layout2;
};

// Per language, in the order of kLanguages. The 2.6 layout writes both 2.6.6 modules before
// both 2.6.12 ones.
const std::array<FileRow, kLanguages.size()>& FileTable() {
  static const std::array<FileRow, kLanguages.size()> table = {{
      {{151, 153, 155, 156}, {151, 174, 192, 156}},                      // 950
      {{157, 158, 159, 160}, {157, 175, 190, 160}},                      // 936
      {{143, 145, 148}, {143, 179, 187, 148}},                           // 850
      {{161, 162, 163, 172, 164}, {161, 173, 178, 189, 193, 164}},       // 932
      {{165, 166, 167, 168}, {165, 176, 191, 168}},                      // 949
      {{169, 170, 185, 171, 184}, {169, 177, 183, 188, 194, 171, 184}},  // 866
  }};
  return table;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

int LanguageIndexForCodepage(int codepage) {
  for (std::size_t index = 0; index < kLanguages.size(); ++index) {
    if (LeadingInteger(kLanguages[index].codepage) == codepage) return static_cast<int>(index);
  }
  return kDefaultLanguageIndex;
}

std::optional<int> FindLanguage(std::string_view name) {
  for (std::size_t index = 0; index < kLanguages.size(); ++index) {
    const Language& language = kLanguages[index];
    // The name as the user's language lists it counts too: --list shows that one.
    if (platform::EqualIgnoringCase(name, language.comboText) || name == language.codepage ||
        platform::FoldLetterCase(name) ==
            platform::FoldLetterCase(platform::Tr(language.comboText))) {
      return static_cast<int>(index);
    }
  }
  return std::nullopt;
}

int LeadingInteger(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && IsBlank(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  long long value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    value = std::min<long long>(value * 10 + (text[at] - '0'), 1LL + INT_MAX);
  }
  if (negative) value = -value;
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

std::optional<Target> ChooseTarget(std::string_view reportedShare) {
  if (platform::EqualIgnoringCase(reportedShare, kLayout2Share)) {
    // The device's own spelling: its file server may match share names by case.
    return Target{TargetLayout::kArmLinux26,
                  std::string(reportedShare) + std::string(kLayout2Folders)};
  }
  if (reportedShare.empty() || platform::EqualIgnoringCase(reportedShare, kLayout1Share)) {
    return Target{TargetLayout::kPowerPcLinux24, std::string(kLayout1Directory)};
  }
  return std::nullopt;
}

std::span<const int> CodepageFileIds(int languageIndex, TargetLayout layout) {
  if (languageIndex < 0 || languageIndex >= static_cast<int>(kLanguages.size())) return {};
  const FileRow& row = FileTable()[static_cast<std::size_t>(languageIndex)];
  return layout == TargetLayout::kArmLinux26 ? std::span<const int>(row.layout2)
                                             : std::span<const int>(row.layout1);
}

}  // namespace corvane::language
