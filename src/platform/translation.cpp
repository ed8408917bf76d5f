// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/translation.h"

#include <cctype>

#include "platform/translation_catalogue.h"

namespace corvane::platform {

namespace {

constexpr char kContextEnd = '\004';

std::string_view WithoutContext(std::string_view english) {
  const std::size_t end = english.find(kContextEnd);
  return end == std::string_view::npos ? english : english.substr(end + 1);
}

// The catalogue answers with its own text, or with the very key it was given.
std::string_view Translated(const char* answer, const std::string& key, std::string_view english) {
  return answer == key.c_str() ? WithoutContext(english) : std::string_view(answer);
}

}  // namespace

void StartTranslation(std::string_view buildCatalogues) {
  const std::string program = catalogue::ProgramFolder();
  std::string folder;
  if (!program.empty()) {
    const std::string installed = program + "/../share/locale";
    if (catalogue::IsFolder(installed)) {
      folder = installed;
    } else if (!buildCatalogues.empty()) {
      folder = program + "/" + std::string(buildCatalogues);
    }
  }
  catalogue::Bind(folder);
}

std::string_view Tr(std::string_view english) {
  // The empty key would answer with the catalogue's header.
  if (WithoutContext(english).empty()) return {};
  const std::string key(english);
  return Translated(catalogue::Find(key.c_str()), key, english);
}

std::string_view TrN(std::string_view singular, std::string_view plural, unsigned long count) {
  const std::string one(singular);
  const std::string many(plural);
  const char* answer = catalogue::FindPlural(one.c_str(), many.c_str(), count);
  if (answer == one.c_str()) return singular;
  if (answer == many.c_str()) return plural;
  return answer;
}

std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> values) {
  std::string filled;
  filled.reserve(pattern.size());
  std::size_t next = 0;  // the value an unnumbered placeholder takes
  std::size_t i = 0;
  while (i < pattern.size()) {
    if (pattern[i] != '%' || i + 1 == pattern.size()) {
      filled += pattern[i++];
      continue;
    }
    if (pattern[i + 1] == '%') {
      filled += '%';
      i += 2;
      continue;
    }
    // "%s", "%d", or "%N$s", "%N$d"
    std::size_t end = i + 1;
    std::size_t number = 0;
    while (end < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[end])) != 0) {
      number = number * 10 + static_cast<std::size_t>(pattern[end] - '0');
      ++end;
    }
    const bool numbered = end > i + 1 && end < pattern.size() && pattern[end] == '$';
    if (numbered) ++end;
    const bool directive = (numbered || end == i + 1) && end < pattern.size() &&
                           (pattern[end] == 's' || pattern[end] == 'd');
    const std::size_t index = numbered ? number - 1 : next;
    if (!directive || (numbered && number == 0) || index >= values.size()) {
      filled += pattern[i++];
      continue;
    }
    filled += *(values.begin() + index);
    if (!numbered) ++next;
    i = end + 1;
  }
  return filled;
}

std::string CatalogueLanguage() {
  const std::string key;
  const char* header = catalogue::Find(key.c_str());
  if (header == key.c_str()) return {};
  const std::string_view text(header);
  constexpr std::string_view kField = "Language: ";
  const std::size_t start = text.find(kField);
  if (start == std::string_view::npos) return {};
  const std::size_t from = start + kField.size();
  return std::string(text.substr(from, text.find('\n', from) - from));
}

}  // namespace corvane::platform
