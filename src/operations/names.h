// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Changing the host name and the workgroup of the selected device. No password is asked for.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "operations/interaction.h"
#include "protocol/session.h"

namespace corvane::operations {

// A device applies a new host name or workgroup a moment after it confirms it; searching sooner
// would still show the old name.
inline constexpr std::chrono::milliseconds kNameSettleTime{1000};

// The texts as the device gets them: bytes, in whatever encoding the device's own name came in.
struct NamesInput {
  std::string hostName;
  std::string workgroup;
};

enum class NamesOutcome {
  kHostNameRefused,   // nothing was sent
  kWorkgroupRefused,  // the host name had been sent already
  kSent,
};

struct NamesResult {
  NamesOutcome outcome;
  std::string_view refusal;  // the message of a refusal
  bool hostNameConfirmed = false;
  bool workgroupConfirmed = false;

  // The device list shows the old name: the front end searches again.
  bool SearchAgain() const { return outcome == NamesOutcome::kSent; }
};

// Checks the host name and sends it, then checks the workgroup and sends it, then waits for the
// device to apply them. A text longer than the request buffer (only a device's own name can be)
// is cut, at a character border when it is UTF-8.
NamesResult ChangeNames(protocol::Session& session, const NamesInput& input,
                        Interaction& interaction);

// For a front end that refuses rather than sends half a change: both names, and their length,
// checked before anything is sent. The message, if refused.
std::optional<std::string_view> CheckNamesBeforeSending(const NamesInput& input);

}  // namespace corvane::operations
