// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/credentials.h"

#include "operations/blocking.h"

namespace corvane::operations {

namespace {

// Callers only test the request's result for zero: any other value means accepted. The pair is
// in the session's request buffers for this one exchange only.
CredentialsAnswer TryPair(protocol::Session& session, Interaction& interaction,
                          std::string_view user, std::string_view password) {
  session.LoginUserName.Set(user);
  session.LoginPassword.Set(password);
  std::optional<int> answer;
  RunBlocking(interaction, [&] { answer = session.AnswerCredentials(); });
  session.LoginUserName.Clear();
  session.LoginPassword.Clear();
  if (!answer) return CredentialsAnswer::kNoAnswer;
  return *answer != 0 ? CredentialsAnswer::kAccepted : CredentialsAnswer::kRefused;
}

}  // namespace

CredentialsProof ProveCredentials(protocol::Session& session, Interaction& interaction) {
  CredentialsProof proof;
  proof.defaultPair = TryPair(session, interaction, kDefaultAdminUser, kDefaultAdminPassword);
  if (proof.defaultPair == CredentialsAnswer::kAccepted) return proof;
  std::optional<platform::Credentials> given;
  try {
    given = interaction.AskAdministratorCredentials();
  } catch (...) {
    // A failing prompt leaves the default pair as the answer, which is tried once more.
    given = platform::Credentials{platform::SecretText(kDefaultAdminUser),
                                  platform::SecretText(kDefaultAdminPassword)};
  }
  if (given) {
    proof.givenPair = TryPair(session, interaction, given->user.view(), given->password.view());
  }
  return proof;
}

}  // namespace corvane::operations
