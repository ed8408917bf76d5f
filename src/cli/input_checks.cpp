// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/input_checks.h"

#include "platform/translation.h"
#include "protocol/protocol_constants.h"

namespace corvane::cli {

namespace {

using protocol::Octets;

constexpr std::size_t kMaxFieldDigits = 6;  // enough to report 1000 as out of range

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::optional<int> ReadField(std::string_view field) {
  if (field.size() > kMaxFieldDigits) return std::nullopt;
  int value = 0;
  for (const char c : field) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

OctetsInput ReadOctets(std::string_view text) {
  const std::string_view trimmed = TrimBlanks(text);
  if (trimmed.empty()) return {};
  Octets octets{};
  std::size_t field = 0;
  std::size_t start = 0;
  bool anyDigit = false;
  for (;;) {
    const std::size_t dot = trimmed.find('.', start);
    const std::string_view part =
        trimmed.substr(start, dot == std::string_view::npos ? dot : dot - start);
    const std::optional<int> value = ReadField(TrimBlanks(part));
    if (!value || field >= 4) return {std::nullopt, true};
    anyDigit = anyDigit || !TrimBlanks(part).empty();
    octets[field++] = *value;
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  if (field != 4) return {std::nullopt, true};
  if (!anyDigit) return {};  // "..." is as blank as an untouched control
  return {octets, false};
}

namespace {

operations::AddressInput ReadAddressOption(std::string_view option,
                                           const std::optional<std::string>& text) {
  const OctetsInput input = ReadOctets(text.value_or(""));
  operations::AddressInput address{input.octets, ""};
  if (input.malformed) {
    address.unreadable = platform::Fill(
        // TRANSLATORS: %1$s is the option (--ip, --netmask, --gateway), %2$s the text given.
        platform::Tr("%1$s: not a dotted address (four numbers separated by dots): %2$s"),
        {option, *text});
  }
  return address;
}

}  // namespace

operations::StaticAddressInput ReadStaticInput(const std::optional<std::string>& ip,
                                               const std::optional<std::string>& netmask,
                                               const std::optional<std::string>& gateway) {
  return {ReadAddressOption("--ip", ip), ReadAddressOption("--netmask", netmask),
          ReadAddressOption("--gateway", gateway)};
}

std::optional<std::string> CheckPassword(std::string_view password) {
  if (password.size() <= protocol::kMaxLoginLength) return std::nullopt;
  return std::string(platform::Tr("the administrator password can hold at most 16 characters"));
}

std::string OneLine(std::string_view message) {
  std::string line;
  line.reserve(message.size());
  for (std::size_t i = 0; i < message.size(); ++i) {
    if (message[i] == '\r' && i + 1 < message.size() && message[i + 1] == '\n') {
      line += ' ';
      ++i;
    } else if (message[i] == '\n' || message[i] == '\r') {
      line += ' ';
    } else {
      line += message[i];
    }
  }
  return line;
}

}  // namespace corvane::cli
