// SPDX-License-Identifier: GPL-3.0-or-later
#include <libintl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <clocale>

#include "platform/translation.h"
#include "platform/translation_catalogue.h"

namespace corvane::platform::catalogue {

std::string ProgramFolder() {
  std::array<char, 4096> path{};
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (length <= 0) return {};
  const std::string file(path.data(), static_cast<std::size_t>(length));
  const std::size_t slash = file.rfind('/');
  return slash == std::string::npos ? std::string() : file.substr(0, slash);
}

bool IsFolder(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

void Bind(const std::string& folder) {
  // Only the messages follow the user's locale: numbers, letter classes and collation stay
  // the C library's defaults that the input rules were written for.
  std::setlocale(LC_MESSAGES, "");
  if (!folder.empty()) bindtextdomain(kTextDomain, folder.c_str());
  // The catalogues are UTF-8, and so are Qt's texts and the terminal output.
  bind_textdomain_codeset(kTextDomain, "UTF-8");
}

const char* Find(const char* key) {
  return dgettext(kTextDomain, key);
}

const char* FindPlural(const char* singular, const char* plural, unsigned long count) {
  return dngettext(kTextDomain, singular, plural, count);
}

}  // namespace corvane::platform::catalogue
