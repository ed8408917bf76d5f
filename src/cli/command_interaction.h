// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The command line's side of an operation: passwords from the options, a file or the terminal;
// what mount answers in place of the window's Mapping Type and share Login dialogs; plain
// waits; the files of a language installation told as they are written.

#include <optional>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "cli/password_input.h"
#include "operations/credentials.h"
#include "operations/interaction.h"

namespace corvane::cli {

// What mount answers for the window's Mapping Type and share Login dialogs.
struct ShareAnswers {
  bool byName = false;
  std::optional<std::string> user;
};

// The share's user and password fill buffers of 16 characters, as the window's Login dialog
// does: the refusal, or nothing.
std::optional<std::string> CheckShareText(std::string_view text);

class CommandInteraction : public operations::Interaction {
 public:
  CommandInteraction(GivenPassword given, std::string address, Console& console,
                     ShareAnswers share = {});

  // Nothing to keep going meanwhile: a short sleep between looks costs the work nothing.
  void WaitUntil(const std::function<bool()>& done) override;
  // The given password, or one asked for on the terminal; nothing to try without either. One
  // from the terminal that the device cannot take is remembered and not tried.
  std::optional<platform::Credentials> AskAdministratorCredentials() override;
  // --by-name answers the question the window asks in its Mapping Type dialog.
  operations::MapType ChooseMapType() override;
  // Only a user given with --user is tried; its password comes from --password,
  // --password-file or the terminal.
  std::optional<platform::Credentials> AskShareCredentials(std::string_view remote) override;
  void Report(const operations::Progress& progress) override;

  // A password typed at the prompt that the share's buffer cannot take.
  const std::optional<std::string>& TypedRefusal() const { return typedRefusal_; }
  PasswordSource source() const { return given_.source; }

  // After the password check failed: what the user hears, and the exit status.
  int CredentialsNotProven(const operations::CredentialsProof& proof);

 private:
  // Asks when no password was given and there is a terminal to ask on.
  void AskOnTerminal(const std::string& prompt);

  GivenPassword given_;
  std::string address_;
  Console& console_;
  ShareAnswers share_;
  std::optional<std::string> passwordRefusal_;
  std::optional<std::string> typedRefusal_;
};

}  // namespace corvane::cli
