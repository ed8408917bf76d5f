// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What translation.cpp asks of the system: where the program lies, and the catalogue lookups.
// One implementation per operating system (translation_linux.cpp: GNU gettext in the C
// library).

#include <string>

namespace corvane::platform::catalogue {

// The folder of the running program's file, or empty when the system does not say.
std::string ProgramFolder();
bool IsFolder(const std::string& path);

// Takes the user's language from the environment and reads catalogues from `folder` (empty:
// the system's own folder).
void Bind(const std::string& folder);

// The translation of `key`, or `key` itself (the same pointer) when there is none.
const char* Find(const char* key);
// The form of singular/plural for `count`; singular or plural themselves when untranslated.
const char* FindPlural(const char* singular, const char* plural, unsigned long count);

}  // namespace corvane::platform::catalogue
