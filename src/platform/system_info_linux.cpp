// SPDX-License-Identifier: GPL-3.0-or-later
#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/system_info.h"

namespace corvane::platform {

namespace {

// Leading decimal number of text at position; advances past it and one following separator.
std::uint32_t TakeNumber(std::string_view text, std::size_t& position) {
  std::uint32_t value = 0;
  while (position < text.size() && text[position] >= '0' && text[position] <= '9') {
    value = value * 10 + static_cast<std::uint32_t>(text[position] - '0');
    ++position;
  }
  if (position < text.size()) ++position;
  return value;
}

std::string UserFromPasswordDatabase() {
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
      found == nullptr || found->pw_name == nullptr) {
    return {};
  }
  return found->pw_name;
}

std::string UserFromEnvironment() {
  for (const char* name : {"USER", "LOGNAME"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return value;
  }
  return {};
}

class LinuxSystemInfo : public SystemInfo {
 public:
  // Platform id 0 is no Windows family, so every version name is "unknown Windows version";
  // the kernel release fills the version numbers for diagnostics.
  std::optional<OsVersionRecord> OsVersion() const override {
    utsname names{};
    if (::uname(&names) != 0) return std::nullopt;
    const std::string_view release(names.release);
    std::size_t position = 0;
    const std::uint32_t major = TakeNumber(release, position);
    const std::uint32_t minor = TakeNumber(release, position);
    const std::uint32_t patch = TakeNumber(release, position);
    return OsVersionRecord{0, major, minor, patch};
  }

  std::string UserName() const override {
    std::string name = UserFromPasswordDatabase();
    return name.empty() ? UserFromEnvironment() : name;
  }
};

}  // namespace

std::unique_ptr<SystemInfo> MakeSystemInfo() {
  return std::make_unique<LinuxSystemInfo>();
}

}  // namespace corvane::platform
