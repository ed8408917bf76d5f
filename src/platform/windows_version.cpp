// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows_version.h"

namespace corvane::platform {

namespace {

constexpr std::uint32_t kPlatform9x = 1;
constexpr std::uint32_t kPlatformNt = 2;
constexpr std::uint32_t kPlatformCe = 3;

// The 9x family keeps version numbers in the high word of the build; only the low 16 bits
// count.
const char* Name9x(const OsVersionRecord& record) {
  const std::uint32_t build = record.buildNumber & 0xFFFFu;
  if (record.majorVersion != 4) return kUnknownWindowsVersion;
  if (record.minorVersion < 10) {
    if (build == 950) return "Windows 95";
    if (build >= 951 && build <= 1080) return "Windows 95 SP1";
    if (build > 1080) return "Windows 95 OSR2";
    return kUnknownWindowsVersion;
  }
  if (record.minorVersion == 10) {
    if (build == 1998) return "Windows 98";
    if (build >= 1999 && build <= 2182) return "Windows 98 SP1";
    if (build >= 2183) return "Windows 98 SE";
    return kUnknownWindowsVersion;
  }
  if (record.minorVersion == 90) return "Windows ME";
  return kUnknownWindowsVersion;
}

const char* NameNt(const OsVersionRecord& record) {
  const std::uint32_t major = record.majorVersion;
  const std::uint32_t minor = record.minorVersion;
  if (major == 3 && minor == 51) return "Windows NT 3.51";
  if (major == 4 && minor == 0) return "Windows NT 4";
  if (major == 5 && minor == 0) return "Windows 2000";
  if (major == 5 && minor == 1) return "Windows XP";
  if (major == 6) return "Vista";
  return kUnknownWindowsVersion;
}

}  // namespace

int GetWindowsVersionName(const std::optional<OsVersionRecord>& record, std::string& name) {
  name = kUnknownWindowsVersion;
  if (!record) return 0;
  switch (record->platformId) {
    case kPlatform9x:
      name = Name9x(*record);
      break;
    case kPlatformNt:
      name = NameNt(*record);
      break;
    case kPlatformCe:
      name = "Windows CE";
      break;
    default:
      break;
  }
  return 1;
}

}  // namespace corvane::platform
