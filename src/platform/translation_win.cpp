// SPDX-License-Identifier: GPL-3.0-or-later
// Windows has no gettext: the compiled catalogues (share/locale/LL/LC_MESSAGES/corvane.mo, the
// same files the Linux build installs) are read here. The language is the first of LANGUAGE
// (a list as gettext takes it), LC_ALL, LC_MESSAGES, LANG, or else of the user's Windows display
// languages, for which a catalogue exists.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/translation.h"
#include "platform/translation_catalogue.h"
#include "platform/wide_text_win.h"

namespace corvane::platform::catalogue {
namespace {

// Far above any catalogue of ours; a larger file is not read at all.
constexpr std::size_t kMaxCatalogueBytes = 8 * 1024 * 1024;
constexpr std::uint32_t kMagic = 0x950412de;

struct Catalogue {
  std::vector<char> bytes;
  // The original (its singular, for a text with plural forms) to its translation: its forms,
  // each ending in NUL.
  std::unordered_map<std::string_view, std::string_view> translations;
  std::string pluralRule;
};

Catalogue& Loaded() {
  static Catalogue catalogue;
  return catalogue;
}

std::uint32_t Word(const std::vector<char>& bytes, std::size_t offset, bool swapped) {
  std::uint32_t value = 0;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  if (swapped) {
    value =
        ((value & 0xff) << 24) | ((value & 0xff00) << 8) | ((value >> 8) & 0xff00) | (value >> 24);
  }
  return value;
}

// A string of the table at `entry` (its length and offset), with its terminating NUL, inside the
// file.
std::optional<std::string_view> StringAt(const std::vector<char>& bytes, std::size_t entry,
                                         bool swapped) {
  if (entry > bytes.size() || bytes.size() - entry < 8) return std::nullopt;
  const std::size_t length = Word(bytes, entry, swapped);
  const std::size_t offset = Word(bytes, entry + 4, swapped);
  if (offset >= bytes.size() || length >= bytes.size() - offset) return std::nullopt;
  if (bytes[offset + length] != '\0') return std::nullopt;
  return std::string_view(bytes.data() + offset, length + 1);
}

bool Read(const std::string& file, Catalogue& catalogue) {
  std::ifstream in(Wide(file).c_str(), std::ios::binary);
  if (!in) return false;
  std::vector<char> bytes;
  bytes.reserve(64 * 1024);
  char piece[4096];
  while (in.read(piece, sizeof piece) || in.gcount() > 0) {
    bytes.insert(bytes.end(), piece, piece + in.gcount());
    if (bytes.size() > kMaxCatalogueBytes) return false;
  }
  if (bytes.size() < 20) return false;
  const bool swapped = Word(bytes, 0, false) != kMagic;
  if (swapped && Word(bytes, 0, true) != kMagic) return false;
  const std::size_t count = Word(bytes, 8, swapped);
  const std::size_t originals = Word(bytes, 12, swapped);
  const std::size_t translated = Word(bytes, 16, swapped);
  if (count > bytes.size() / 16) return false;
  catalogue.bytes = std::move(bytes);
  for (std::size_t k = 0; k < count; ++k) {
    const auto original = StringAt(catalogue.bytes, originals + 8 * k, swapped);
    const auto translation = StringAt(catalogue.bytes, translated + 8 * k, swapped);
    if (!original || !translation) continue;
    // The key ends at the first NUL: a text with plural forms is found by its singular.
    catalogue.translations.emplace(std::string_view(original->data()), *translation);
  }
  const auto header = catalogue.translations.find("");
  if (header != catalogue.translations.end()) {
    const std::string_view text(header->second.data());
    const std::size_t start = text.find("plural=");
    if (start != std::string_view::npos) {
      catalogue.pluralRule = std::string(text.substr(start, text.find('\n', start) - start));
    }
  }
  return true;
}

// The plural rules of the shipped languages; any other reads as English's.
std::size_t PluralForm(const std::string& rule, unsigned long n) {
  if (rule.find("plural=0") == 0) return 0;
  if (rule.find("n > 1") != std::string::npos || rule.find("n>1") != std::string::npos) {
    return n > 1 ? 1 : 0;
  }
  if (rule.find("n%10==1 && n%100!=11") != std::string::npos) {  // Russian and its kin
    if (n % 10 == 1 && n % 100 != 11) return 0;
    if (n % 10 >= 2 && n % 10 <= 4 && (n % 100 < 10 || n % 100 >= 20)) return 1;
    return 2;
  }
  return n != 1 ? 1 : 0;
}

std::string EnvironmentValue(const wchar_t* name) {
  const wchar_t* value = ::_wgetenv(name);
  return value != nullptr ? Utf8(value) : std::string();
}

// "de_DE.UTF-8@euro" -> "de_DE"; "de-DE" -> "de_DE".
std::string LocaleName(std::string name) {
  name = name.substr(0, name.find_first_of(".@"));
  for (char& c : name) {
    if (c == '-') c = '_';
  }
  return name;
}

// Chinese comes with its script ("zh_Hant_TW"); the catalogues are named by region.
std::string ByRegion(const std::string& name) {
  if (name.rfind("zh_Hant", 0) == 0 || name == "zh_HK" || name == "zh_MO") return "zh_TW";
  if (name.rfind("zh_Hans", 0) == 0 || name == "zh_SG") return "zh_CN";
  return name;
}

std::vector<std::string> WantedLanguages() {
  std::vector<std::string> wanted;
  const std::string list = EnvironmentValue(L"LANGUAGE");
  for (std::size_t from = 0; from <= list.size();) {
    const std::size_t end = std::min(list.find(':', from), list.size());
    if (end > from) wanted.push_back(LocaleName(list.substr(from, end - from)));
    from = end + 1;
  }
  for (const wchar_t* name : {L"LC_ALL", L"LC_MESSAGES", L"LANG"}) {
    const std::string value = EnvironmentValue(name);
    if (value.empty()) continue;
    // As gettext: the C locale means English, whatever LANGUAGE says.
    if (value == "C" || value == "POSIX") return {};
    wanted.push_back(LocaleName(value));
    break;
  }
  // The user's display languages, most wanted first ("de-DE\0en-US\0\0").
  ULONG count = 0;
  ULONG size = 0;
  if (::GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, nullptr, &size) != FALSE &&
      size > 0) {
    std::vector<wchar_t> names(size);
    if (::GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, names.data(), &size) != FALSE) {
      for (const wchar_t* name = names.data(); *name != L'\0'; name += std::wcslen(name) + 1) {
        wanted.push_back(ByRegion(LocaleName(Utf8(name))));
      }
    }
  }
  return wanted;
}

}  // namespace

std::string ProgramFolder() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      const std::wstring file(path.data(), length);
      const std::size_t slash = file.find_last_of(L"\\/");
      return slash == std::wstring::npos ? std::string() : Utf8(file.substr(0, slash));
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void Bind(const std::string& folder) {
  Loaded() = Catalogue{};
  // The zip puts the catalogues beside the program.
  std::string root = folder;
  if (root.empty() || !IsFolder(root)) root = ProgramFolder() + "/share/locale";
  for (const std::string& language : WantedLanguages()) {
    if (language.empty() || language == "en" || language.rfind("en_", 0) == 0) return;
    std::vector<std::string> names{language};
    const std::size_t underscore = language.find('_');
    if (underscore != std::string::npos) names.push_back(language.substr(0, underscore));
    for (const std::string& name : names) {
      if (Read(root + "/" + name + "/LC_MESSAGES/" + kTextDomain + ".mo", Loaded())) return;
      Loaded() = Catalogue{};
    }
  }
}

const char* Find(const char* key) {
  const Catalogue& catalogue = Loaded();
  const auto found = catalogue.translations.find(key);
  if (found == catalogue.translations.end() || found->second.front() == '\0') return key;
  return found->second.data();
}

const char* FindPlural(const char* singular, const char* plural, unsigned long count) {
  const Catalogue& catalogue = Loaded();
  const auto found = catalogue.translations.find(singular);
  if (found == catalogue.translations.end() || found->second.front() == '\0') {
    return count == 1 ? singular : plural;
  }
  // The forms follow one another inside the translation, each ending in NUL.
  std::string_view forms = found->second;
  for (std::size_t k = PluralForm(catalogue.pluralRule, count); k > 0; --k) {
    const std::size_t end = forms.find('\0');
    if (end + 1 >= forms.size()) return count == 1 ? singular : plural;
    forms.remove_prefix(end + 1);
  }
  return forms.data();
}

}  // namespace corvane::platform::catalogue
