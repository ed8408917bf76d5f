// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every text a person reads passes through here on its way out, in the user's language when
// Corvane has a catalogue for it and in English otherwise. The English texts are the keys of
// the catalogues (po/corvane.pot), so they stay byte for byte what they are; scripts and tests
// that read them see no change in the C locale.
//
// How a text is marked (xgettext reads these names; po/CMakeLists.txt lists them):
//   Tr("...")            translated where it stands
//   N_("...")            a constant, marked where it is written and translated where shown
//   NC_("ctx", "...")    the same for a word that needs a context (one word, two meanings)
//   TrN("...", "...", n) a text with a count, in the plural form the language wants
// Fill puts values into a translated pattern ("%s", "%1$s", "%d"), so that a translation may
// order them as its language needs.

#include <initializer_list>
#include <string>
#include <string_view>

#define N_(text) text
// The context travels with the text, as gettext keeps it: "context\4text".
#define NC_(context, text) context "\004" text

namespace corvane::platform {

// The catalogue of every program of Corvane.
inline constexpr char kTextDomain[] = "corvane";

// Chooses the catalogue as gettext does (LANGUAGE, LC_ALL, LC_MESSAGES, LANG; none in the C
// locale) from the folder beside the program (../share/locale), or when the program runs from
// the build tree, from `buildCatalogues` relative to the program's folder. Call once, first.
void StartTranslation(std::string_view buildCatalogues = {});

// The text in the user's language, or the English text (without its context) when there is
// no translation. The result lives as long as the program when the English text does.
std::string_view Tr(std::string_view english);
std::string_view TrN(std::string_view singular, std::string_view plural, unsigned long count);

// The pattern with "%s" and "%d" replaced by the values in order, "%N$s" by value N, "%%" by
// "%". Placeholders beyond the values given stay as they are.
std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> values);

// The language of the catalogue in use ("de", "zh_TW"), or empty for English.
std::string CatalogueLanguage();

}  // namespace corvane::platform
