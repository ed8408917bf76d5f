// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include "operations/interaction.h"
#include "protocol/session.h"

namespace corvane::operations {

inline constexpr char kDefaultAdminUser[] = "admin";
inline constexpr char kDefaultAdminPassword[] = "vorel";

enum class CredentialsAnswer {
  kAccepted,
  kRefused,   // the device answered: not this pair
  kNoAnswer,  // nothing came back, which says nothing about the password
};

// The tries of one proof, so a front end can tell a wrong password from a silent device and
// from a password nobody gave.
struct CredentialsProof {
  CredentialsAnswer defaultPair = CredentialsAnswer::kNoAnswer;
  // The pair the front end gave after the default one failed; empty when it had none to give
  // (or the default pair was accepted).
  std::optional<CredentialsAnswer> givenPair;

  CredentialsAnswer Final() const { return givenPair.value_or(defaultPair); }
  bool Accepted() const { return Final() == CredentialsAnswer::kAccepted; }
};

// Proves the administrator credentials to the selected device: the default pair first; if the
// device does not accept it, the front end is asked once and, if it gives a pair, that pair is
// tried once.
CredentialsProof ProveCredentials(protocol::Session& session, Interaction& interaction);

}  // namespace corvane::operations
