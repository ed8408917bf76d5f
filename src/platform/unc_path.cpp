// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/unc_path.h"

#include <algorithm>

namespace corvane::platform {
namespace {

bool IsControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

bool ValidComponent(std::string_view part) {
  if (part.empty() || part == "." || part == "..") return false;
  return std::none_of(part.begin(), part.end(), [](char c) { return c == '/' || IsControl(c); });
}

// A host is a name or an address; anything a URL would read as user, port, path or query is
// refused rather than escaped, because no device is called that.
bool ValidHost(std::string_view host) {
  if (!ValidComponent(host)) return false;
  return host.find_first_of("@:;?#%[] ") == std::string_view::npos;
}

std::vector<std::string_view> SplitAtBackslash(std::string_view text) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find('\\', start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

void AppendEscaped(std::string& url, std::string_view part) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (const char c : part) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                       (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
    if (plain) {
      url += c;
      continue;
    }
    url += '%';
    url += kDigits[byte >> 4];
    url += kDigits[byte & 15];
  }
}

}  // namespace

std::optional<UncPath> ParseUncPath(std::string_view text) {
  if (text.size() < 2 || text.substr(0, 2) != "\\\\") return std::nullopt;
  const std::vector<std::string_view> parts = SplitAtBackslash(text.substr(2));
  if (parts.size() < 2 || !ValidHost(parts[0])) return std::nullopt;
  if (!std::all_of(parts.begin() + 1, parts.end(), ValidComponent)) return std::nullopt;
  UncPath path{std::string(parts[0]), std::string(parts[1]), {}};
  for (std::size_t i = 2; i < parts.size(); ++i) path.folders.emplace_back(parts[i]);
  return path;
}

std::optional<UncPath> ParseShareName(std::string_view text) {
  std::optional<UncPath> path = ParseUncPath(text);
  if (path && !path->folders.empty()) return std::nullopt;
  return path;
}

std::string SmbUrl(const UncPath& path) {
  std::string url = "smb://";
  AppendEscaped(url, path.host);
  url += '/';
  AppendEscaped(url, path.share);
  for (const std::string& part : path.folders) {
    url += '/';
    AppendEscaped(url, part);
  }
  return url;
}

}  // namespace corvane::platform
