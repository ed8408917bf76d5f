// SPDX-License-Identifier: GPL-3.0-or-later
#include "ipv4.h"

#include <charconv>

namespace corvane::devsim {

namespace {

std::optional<int> ParseNumber(std::string_view text, int maximum) {
  if (text.empty() || text.size() > 3) return std::nullopt;
  // from_chars would take a sign.
  if (text.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
  int number = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size() || number > maximum) {
    return std::nullopt;
  }
  return number;
}

}  // namespace

std::optional<Ipv4> ParseIpv4(std::string_view text) {
  std::uint32_t value = 0;
  for (int octet = 0; octet < 4; ++octet) {
    std::size_t dot = text.find('.');
    bool last = octet == 3;
    if (last != (dot == std::string_view::npos)) return std::nullopt;
    std::string_view part = last ? text : text.substr(0, dot);
    auto number = ParseNumber(part, 255);
    if (!number) return std::nullopt;
    value = (value << 8) | static_cast<std::uint32_t>(*number);
    if (!last) text.remove_prefix(dot + 1);
  }
  return Ipv4{value};
}

std::string FormatIpv4(Ipv4 address) {
  std::string text;
  for (int octet = 0; octet < 4; ++octet) {
    if (octet > 0) text += '.';
    text += std::to_string(address.Octet(octet));
  }
  return text;
}

std::optional<AddressWithPrefix> ParseAddressWithPrefix(std::string_view text) {
  AddressWithPrefix result;
  std::size_t slash = text.find('/');
  if (slash != std::string_view::npos) {
    auto prefix = ParseNumber(text.substr(slash + 1), 32);
    if (!prefix) return std::nullopt;
    result.prefix = *prefix;
    text = text.substr(0, slash);
  }
  auto address = ParseIpv4(text);
  if (!address) return std::nullopt;
  result.address = *address;
  return result;
}

std::optional<int> PrefixFromNetmask(std::string_view netmask) {
  auto mask = ParseIpv4(netmask);
  if (!mask) return std::nullopt;
  std::uint32_t bits = mask->value;
  int prefix = 0;
  while (prefix < 32 && (bits & (0x80000000u >> prefix)) != 0) ++prefix;
  std::uint32_t expected = prefix == 0 ? 0 : ~std::uint32_t{0} << (32 - prefix);
  if (bits != expected) return std::nullopt;
  return prefix;
}

std::string NetmaskFromPrefix(int prefix) {
  std::uint32_t mask = prefix <= 0 ? 0 : ~std::uint32_t{0} << (32 - prefix);
  return FormatIpv4(Ipv4{mask});
}

}  // namespace corvane::devsim
