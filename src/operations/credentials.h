// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "operations/interaction.h"
#include "protocol/session.h"

namespace corvane::operations {

inline constexpr char kDefaultAdminUser[] = "admin";
inline constexpr char kDefaultAdminPassword[] = "vorel";

// Proves the administrator credentials to the selected device: the default pair first; if the
// device refuses it, the front end is asked once and the pair is tried again. True when the
// device accepted.
bool ProveCredentials(protocol::Session& session, Interaction& interaction);

}  // namespace corvane::operations
