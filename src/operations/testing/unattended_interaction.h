// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A front end with nobody at it, for tests, benchmarks and screenshots: every wait simply runs,
// and every question goes unanswered (no password to give, the address form of a share).

#include <chrono>
#include <functional>
#include <optional>
#include <string_view>
#include <thread>

#include "operations/interaction.h"

namespace corvane::operations::testing {

class UnattendedInteraction : public Interaction {
 public:
  void WaitUntil(const std::function<bool()>& done) override {
    while (!done()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  std::optional<platform::Credentials> AskAdministratorCredentials() override {
    return std::nullopt;
  }
  MapType ChooseMapType() override { return MapType::kAddress; }
  std::optional<platform::Credentials> AskShareCredentials(std::string_view) override {
    return std::nullopt;
  }
};

}  // namespace corvane::operations::testing
