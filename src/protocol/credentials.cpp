// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/credentials.h"

namespace corvane::protocol {

namespace {

// Callers only test the request's result for zero: any other value means accepted.
bool DeviceAccepts(Session& session) {
  return session.CheckCredentials() != 0;
}

}  // namespace

bool ProveCredentials(Session& session, const std::function<void()>& askForCredentials) {
  session.LoginUserName.Set(kDefaultAdminUser);
  session.LoginPassword.Set(kDefaultAdminPassword);
  if (DeviceAccepts(session)) return true;
  if (askForCredentials) {
    try {
      askForCredentials();
    } catch (...) {
      // A failing prompt leaves the pair as it was; the second try then decides as usual.
    }
  }
  return DeviceAccepts(session);
}

}  // namespace corvane::protocol
