// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/command_interaction.h"

#include <chrono>
#include <thread>

#include "cli/command_line.h"
#include "cli/input_checks.h"
#include "cli/output_format.h"
#include "platform/translation.h"
#include "protocol/protocol_constants.h"

namespace corvane::cli {

using platform::Fill;
using platform::Tr;

std::optional<std::string> CheckShareText(std::string_view text) {
  if (text.size() <= protocol::kMaxLoginLength) return std::nullopt;
  return std::string(Tr("a share's user name and password hold at most 16 characters each"));
}

CommandInteraction::CommandInteraction(GivenPassword given, std::string address, Console& console,
                                       ShareAnswers share)
    : given_(std::move(given)),
      address_(std::move(address)),
      console_(console),
      share_(std::move(share)) {}

void CommandInteraction::WaitUntil(const std::function<bool()>& done) {
  while (!done()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

std::optional<platform::Credentials> CommandInteraction::AskAdministratorCredentials() {
  // TRANSLATORS: a prompt on the terminal; %s is the device's address.
  AskOnTerminal(Fill(Tr("Administrator password for %s:"), {address_}) + " ");
  if (!given_.password) return std::nullopt;
  passwordRefusal_ = CheckPassword(given_.password->view());
  if (passwordRefusal_) return std::nullopt;
  return platform::Credentials{platform::SecretText(operations::kDefaultAdminUser),
                               platform::SecretText(given_.password->view())};
}

operations::MapType CommandInteraction::ChooseMapType() {
  return share_.byName ? operations::MapType::kHostName : operations::MapType::kAddress;
}

std::optional<platform::Credentials> CommandInteraction::AskShareCredentials(
    std::string_view remote) {
  if (!share_.user) return std::nullopt;
  // TRANSLATORS: a prompt on the terminal; %1$s is the user, %2$s the share (\\host\share).
  AskOnTerminal(Fill(Tr("Password for %1$s on %2$s:"), {*share_.user, TerminalSafe(remote)}) + " ");
  platform::Credentials login{platform::SecretText(*share_.user), {}};
  if (!given_.password) return login;
  typedRefusal_ = CheckShareText(given_.password->view());
  if (!typedRefusal_) login.password = platform::SecretText(given_.password->view());
  return login;
}

void CommandInteraction::Report(const operations::Progress& progress) {
  if (progress.kind != operations::Progress::Kind::kFileWritten) return;
  // TRANSLATORS: %1$s is a file written onto the device, %2$d its size in bytes.
  console_.out << Fill(Tr("wrote %1$s (%2$d bytes)"),
                       {TerminalSafe(progress.text), std::to_string(progress.bytes)})
               << "\n"
               << std::flush;
}

int CommandInteraction::CredentialsNotProven(const operations::CredentialsProof& proof) {
  if (passwordRefusal_) {
    Fail(console_, *passwordRefusal_);
    return kExitUsage;
  }
  if (proof.Final() == operations::CredentialsAnswer::kNoAnswer) {
    Fail(console_, Tr("the device did not answer the administrator password check"));
  } else if (!proof.givenPair) {
    Fail(console_,
         // TRANSLATORS: keep --password-file FILE as it is.
         Tr("the device refused its default administrator password; give its password "
            "with --password-file FILE, or run corvane on a terminal to be asked for it"));
  } else {
    Fail(console_, Tr(operations::text::kWrongAdminPassword));
  }
  return kExitDeviceFailed;
}

void CommandInteraction::AskOnTerminal(const std::string& prompt) {
  if (given_.password || !console_.askSecret) return;
  if (std::optional<std::string> typed = console_.askSecret(prompt)) {
    given_.password.emplace(*typed);
    given_.source = PasswordSource::kTerminal;
    platform::SecretText::Wipe(*typed);
  }
}

}  // namespace corvane::cli
