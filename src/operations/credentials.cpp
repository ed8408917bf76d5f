// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/credentials.h"

namespace corvane::operations {

namespace {

// Callers only test the request's result for zero: any other value means accepted.
bool DeviceAccepts(protocol::Session& session, Interaction& interaction) {
  int answer = 0;
  interaction.Blocking([&] { answer = session.CheckCredentials(); });
  return answer != 0;
}

}  // namespace

bool ProveCredentials(protocol::Session& session, Interaction& interaction) {
  session.LoginUserName.Set(kDefaultAdminUser);
  session.LoginPassword.Set(kDefaultAdminPassword);
  if (DeviceAccepts(session, interaction)) return true;
  try {
    interaction.AskAdministratorCredentials(session);
  } catch (...) {
    // A failing prompt leaves the pair as it was; the second try then decides as usual.
  }
  return DeviceAccepts(session, interaction);
}

}  // namespace corvane::operations
