// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/password_input.h"

#include "cli/password_file.h"
#include "platform/translation.h"

namespace corvane::cli {

using platform::Fill;
using platform::Tr;

std::optional<std::string> FirstLine(std::string bytes) {
  if (bytes.empty()) return std::nullopt;
  const std::size_t end = bytes.find('\n');
  if (end != std::string::npos) bytes.resize(end);
  if (!bytes.empty() && bytes.back() == '\r') bytes.pop_back();
  return bytes;
}

PasswordReading RefusedPassword(std::string refusal) {
  return {{}, std::move(refusal)};
}

PasswordReading PasswordFromFileBytes(const std::string& path, std::string bytes) {
  std::optional<std::string> line = FirstLine(std::move(bytes));
  if (!line) return RefusedPassword(Fill(Tr("--password-file %s: the file is empty"), {path}));
  return {{platform::SecretText(*line), PasswordSource::kFile}, ""};
}

namespace {

PasswordReading ReadFromStandardInput(std::istream* input) {
  std::string bytes;
  char c = 0;
  while (input != nullptr && bytes.size() < kMaxPasswordLineBytes && input->get(c)) {
    bytes += c;
    if (c == '\n') break;
  }
  std::optional<std::string> line = FirstLine(std::move(bytes));
  if (!line) return RefusedPassword(std::string(Tr("--password-file -: standard input is empty")));
  return {{platform::SecretText(*line), PasswordSource::kStandardInput}, ""};
}

}  // namespace

PasswordReading ReadGivenPassword(const CommandLine& line, std::istream* standardInput) {
  if (line.password) return {{platform::SecretText(*line.password), PasswordSource::kOption}, ""};
  if (!line.passwordFile) return {};
  if (*line.passwordFile == "-") return ReadFromStandardInput(standardInput);
  return ReadPasswordFile(*line.passwordFile);
}

}  // namespace corvane::cli
