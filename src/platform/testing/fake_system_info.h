// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A SystemInfo with a settable version record and user, for tests of the rules that depend on
// the Windows version.

#include <optional>
#include <string>
#include <utility>

#include "platform/system_info.h"

namespace corvane::platform::testing {

class FakeSystemInfo : public SystemInfo {
 public:
  FakeSystemInfo() = default;
  FakeSystemInfo(std::optional<OsVersionRecord> version, std::string user)
      : version_(version), user_(std::move(user)) {}

  void SetOsVersion(std::optional<OsVersionRecord> version) { version_ = version; }
  void SetUserName(std::string user) { user_ = std::move(user); }
  int OsVersionCalls() const { return osVersionCalls_; }
  int UserNameCalls() const { return userNameCalls_; }

  std::optional<OsVersionRecord> OsVersion() const override {
    ++osVersionCalls_;
    return version_;
  }
  std::string UserName() const override {
    ++userNameCalls_;
    return user_;
  }

  // Records of a few well-known systems.
  static constexpr OsVersionRecord kWindows98Se{1, 4, 10, 2222};
  static constexpr OsVersionRecord kWindowsMe{1, 4, 90, 3000};
  static constexpr OsVersionRecord kWindowsNt4{2, 4, 0, 1381};
  static constexpr OsVersionRecord kWindows2000{2, 5, 0, 2195};
  static constexpr OsVersionRecord kWindowsXp{2, 5, 1, 2600};
  static constexpr OsVersionRecord kVista{2, 6, 0, 6000};

 private:
  std::optional<OsVersionRecord> version_ = kWindowsXp;
  std::string user_ = "tester";
  mutable int osVersionCalls_ = 0;
  mutable int userNameCalls_ = 0;
};

}  // namespace corvane::platform::testing
