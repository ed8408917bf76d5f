// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What installing a language means on a device, as plain data: the six languages with their
// codepage numbers, the two ways a device lays out its system disk, and the files each language
// needs in each layout. No Qt, no network: the window and the command line both read it.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/translation.h"

namespace corvane::language {

struct Language {
  std::string_view comboText;  // as the Language dialog lists it
  std::string_view codepage;   // file name suffix, and the text the device is sent
};

// In the order of the Language dialog's combo; the index is the LanguageIndex.
// The names are shown translated (platform::Tr); a user may type either.
inline constexpr std::array<Language, 6> kLanguages = {{
    // TRANSLATORS: the six language groups a device can take; SJIS and Hangul name encodings.
    {N_("Traditional Chinese"), "950"},
    {N_("Simplified Chinese"), "936"},
    {N_("Western European"), "850"},
    {N_("Japanese SJIS"), "932"},
    {N_("Korean Hangul"), "949"},
    {N_("Cyrillic"), "866"},
}};

// What a device gets preselected when its codepage is none of the six, or unknown.
inline constexpr int kDefaultLanguageIndex = 2;

// The LanguageIndex of a codepage number; kDefaultLanguageIndex for any other number.
int LanguageIndexForCodepage(int codepage);

// A language as a user names it: its combo text in English or in the user's language, in any
// letter case, or its codepage number.
std::optional<int> FindLanguage(std::string_view name);

// The number a device's decimal text stands for, read as a leading integer: blanks, a sign and
// digits up to the first other character; 0 when there are no digits. Clamped to int.
int LeadingInteger(std::string_view text);

// How the device's system disk is laid out, told by the share name it reports. The layout
// decides the folder and which build of the kernel character-set modules the device loads.
enum class TargetLayout {
  kPowerPcLinux24 = 1,  // share "HDD_a": modules "*.o"
  kArmLinux26 = 2,      // share "HDD_1": modules "*.ko" (2.6.6) and "*_12.ko" (2.6.12)
};

struct Target {
  TargetLayout layout;
  std::string directory;  // below \\host\, with backslashes: "HDD_a\.codepages"
};

// The target for the share name the device reported: "HDD_a" in any letter case, or nothing
// at all, is layout 1 in "HDD_a\.codepages" (always in that case); "HDD_1" in any letter case is
// layout 2 in "<name as reported>\.systemfile\.codepages". Any other name has no target: there
// is no telling where such a device keeps its codepages.
std::optional<Target> ChooseTarget(std::string_view reportedShare);

// The resource ids of the payloads a language writes in a layout, in the order of writing: the
// codepage table first, a base module before the modules that build on it, the unicode maps
// last. Empty for an index outside the language table.
std::span<const int> CodepageFileIds(int languageIndex, TargetLayout layout);

}  // namespace corvane::language
