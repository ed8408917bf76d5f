// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/input_checks.h"

#include <array>

namespace corvane::cli {

namespace {

using validation::AddressKind;
using validation::Octets;

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

struct AddressField {
  const std::optional<std::string>& text;
  AddressKind kind;
  std::string_view option;
  std::string_view missingMessage;
};

// One address of the static change: its octets, or the message that refuses it.
std::optional<Octets> CheckOne(const AddressField& field, std::string& error) {
  const OctetsInput input = ReadOctets(field.text.value_or(""));
  if (input.malformed) {
    error = std::string(field.option) +
            ": not a dotted address (four numbers separated by dots): " + *field.text;
    return std::nullopt;
  }
  if (!input.octets) {
    error = field.missingMessage;
    return std::nullopt;
  }
  if (const auto octetError = validation::ValidateAddress(field.kind, *input.octets)) {
    error = octetError->message;
    return std::nullopt;
  }
  return input.octets;
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

StaticCheck CheckStaticSettings(const std::optional<std::string>& ip,
                                const std::optional<std::string>& netmask,
                                const std::optional<std::string>& gateway) {
  const AddressField fields[] = {
      {ip, AddressKind::kIp, "--ip", validation::kInputIpAddress},
      {netmask, AddressKind::kNetmask, "--netmask", validation::kInputNetmask},
      {gateway, AddressKind::kGateway, "--gateway", validation::kInputGateway},
  };
  StaticCheck check;
  // Presence first for all three, as the window looks at the blank controls before the octets.
  for (const AddressField& field : fields) {
    const OctetsInput input = ReadOctets(field.text.value_or(""));
    if (!input.malformed && !input.octets) {
      check.error = field.missingMessage;
      return check;
    }
  }
  std::array<Octets, 3> values{};
  for (std::size_t i = 0; i < 3; ++i) {
    const std::optional<Octets> octets = CheckOne(fields[i], check.error);
    if (!octets) return check;
    values[i] = *octets;
  }
  if (!validation::GatewayInSubnet(values[0], values[1], values[2])) {
    check.error = validation::kGatewayInputError;
    return check;
  }
  check.settings = StaticSettings{validation::ToDotted(values[0]), validation::ToDotted(values[1]),
                                  validation::ToDotted(values[2])};
  return check;
}

std::optional<std::string> CheckNames(const std::optional<std::string>& hostName,
                                      const std::optional<std::string>& workgroup) {
  const std::string host = hostName.value_or("");
  const std::string group = workgroup.value_or("");
  if (const auto message = validation::CheckHostName(host)) return std::string(*message);
  if (host.size() > validation::kMaxNameLength) return std::string(validation::kHostNameTooLong);
  if (const auto message = validation::CheckWorkgroup(group)) return std::string(*message);
  if (group.size() > validation::kMaxNameLength) {
    return std::string(validation::kWorkgroupTooLong);
  }
  return std::nullopt;
}

std::optional<std::string> CheckPassword(std::string_view password) {
  if (password.size() <= kMaxPasswordLength) return std::nullopt;
  return "the administrator password can hold at most 16 characters";
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
