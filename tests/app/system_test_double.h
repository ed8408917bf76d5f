// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/system_info.h"

namespace corvane::app::test {

class SystemTestDouble : public platform::SystemInfo {
 public:
  std::optional<platform::OsVersionRecord> OsVersion() const override { return std::nullopt; }
  std::string UserName() const override { return "tester"; }
};

}  // namespace corvane::app::test
