// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include "protocol/session.h"

namespace corvane::protocol {

inline constexpr char kDefaultAdminUser[] = "admin";
inline constexpr char kDefaultAdminPassword[] = "vorel";

// Proves the administrator credentials to the selected device: the default pair first; if the
// device refuses it, askForCredentials runs once (it may overwrite LoginUserName and
// LoginPassword, or leave them) and the pair is tried again. True when the device accepted.
bool ProveCredentials(Session& session, const std::function<void()>& askForCredentials);

}  // namespace corvane::protocol
