// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/credentials.h"

namespace corvane::operations {

namespace {

// Callers only test the request's result for zero: any other value means accepted.
CredentialsAnswer TryPair(protocol::Session& session, Interaction& interaction) {
  std::optional<int> answer;
  interaction.Blocking([&] { answer = session.AnswerCredentials(); });
  if (!answer) return CredentialsAnswer::kNoAnswer;
  return *answer != 0 ? CredentialsAnswer::kAccepted : CredentialsAnswer::kRefused;
}

}  // namespace

CredentialsProof ProveCredentials(protocol::Session& session, Interaction& interaction) {
  CredentialsProof proof;
  session.LoginUserName.Set(kDefaultAdminUser);
  session.LoginPassword.Set(kDefaultAdminPassword);
  proof.defaultPair = TryPair(session, interaction);
  if (proof.defaultPair == CredentialsAnswer::kAccepted) return proof;
  bool givesPair = true;
  try {
    givesPair = interaction.AskAdministratorCredentials(session);
  } catch (...) {
    // A failing prompt leaves the pair as it was; the second try then decides as usual.
  }
  if (givesPair) proof.givenPair = TryPair(session, interaction);
  return proof;
}

}  // namespace corvane::operations
