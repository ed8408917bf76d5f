// SPDX-License-Identifier: GPL-3.0-or-later
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string_view>

#include "platform/open_files.h"

namespace corvane::platform {
namespace {

struct DirCloser {
  void operator()(DIR* listing) const { ::closedir(listing); }
};
using DirPtr = std::unique_ptr<DIR, DirCloser>;

DirPtr OpenListing(const std::string& path) {
  return DirPtr(::opendir(path.c_str()));
}

bool IsNumber(std::string_view name) {
  return !name.empty() && name.find_first_not_of("0123456789") == std::string_view::npos;
}

bool Within(std::string_view path, std::string_view folder) {
  if (path.substr(0, folder.size()) != folder) return false;
  return path.size() == folder.size() || path[folder.size()] == '/';
}

bool LinkWithin(const std::string& link, std::string_view folder) {
  char target[4096];
  const ssize_t size = ::readlink(link.c_str(), target, sizeof target);
  return size > 0 && static_cast<std::size_t>(size) < sizeof target &&
         Within(std::string_view(target, static_cast<std::size_t>(size)), folder);
}

bool ProcessUses(const std::string& process, std::string_view folder) {
  if (LinkWithin(process + "/cwd", folder)) return true;
  const DirPtr descriptors = OpenListing(process + "/fd");
  if (!descriptors) return false;
  while (const dirent* entry = ::readdir(descriptors.get())) {
    if (IsNumber(entry->d_name) && LinkWithin(process + "/fd/" + entry->d_name, folder)) {
      return true;
    }
  }
  return false;
}

}  // namespace

bool FolderInUse(const std::string& folder) {
  std::string_view base(folder);
  while (base.size() > 1 && base.back() == '/') base.remove_suffix(1);
  const DirPtr processes = OpenListing("/proc");
  if (!processes || base.empty()) return false;
  const uid_t user = ::getuid();
  while (const dirent* entry = ::readdir(processes.get())) {
    if (!IsNumber(entry->d_name)) continue;
    const std::string process = std::string("/proc/") + entry->d_name;
    struct stat owner {};
    if (::stat(process.c_str(), &owner) != 0 || owner.st_uid != user) continue;
    if (ProcessUses(process, base)) return true;
  }
  return false;
}

}  // namespace corvane::platform
