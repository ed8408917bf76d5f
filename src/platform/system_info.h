// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the window asks of the operating system about itself: its version record (to name the
// Windows version the login and drive-mapping rules depend on) and the logged-on user.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace corvane::platform {

struct OsVersionRecord {
  std::uint32_t platformId;  // 1: 9x family, 2: NT family, 3: CE; anything else is not Windows
  std::uint32_t majorVersion;
  std::uint32_t minorVersion;
  std::uint32_t buildNumber;
};

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  // Empty when the system refuses to report its version.
  virtual std::optional<OsVersionRecord> OsVersion() const = 0;
  // The logged-on user; empty when it cannot be read.
  virtual std::string UserName() const = 0;
};

// The running system. On Linux the record honestly says "not Windows" (platform id 0).
std::unique_ptr<SystemInfo> MakeSystemInfo();

}  // namespace corvane::platform
