// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/output_format.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <utility>

namespace corvane::cli {

namespace {

struct Utf8Character {
  std::size_t length = 0;  // 0: no valid sequence starts here
  std::uint32_t codePoint = 0;
};

// The UTF-8 sequence starting at at; overlong forms, surrogates and code points above U+10FFFF
// are invalid.
Utf8Character DecodeUtf8(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return {1, lead};
  std::size_t length = 0;
  std::uint32_t codePoint = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    codePoint = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    codePoint = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    codePoint = lead & 0x07u;
  } else {
    return {};
  }
  if (at + length > text.size()) return {};
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0u) != 0x80u) return {};
    codePoint = codePoint << 6 | (byte(at + i) & 0x3Fu);
  }
  const std::uint32_t smallest = length == 3 ? 0x800u : length == 4 ? 0x10000u : 0x80u;
  if (codePoint < smallest || codePoint > 0x10FFFFu) return {};
  if (codePoint >= 0xD800u && codePoint <= 0xDFFFu) return {};
  return {length, codePoint};
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = DecodeUtf8(text, at).length;
    if (length == 0) return false;
    at += length;
  }
  return true;
}

// What a terminal obeys instead of showing: the C0 and C1 controls with DEL (escape sequences
// start with them), and the bidirectional overrides and isolates, which reorder the text after
// them. A text that is no UTF-8 is shown byte by byte, so there 0x80-0x9F are C1 controls too.
bool SteersTheTerminal(std::uint32_t codePoint) {
  return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F) ||
         (codePoint >= 0x202A && codePoint <= 0x202E) ||
         (codePoint >= 0x2066 && codePoint <= 0x2069);
}

// Latin-1, as a text that is no UTF-8 is read: every byte its own character.
std::string Latin1ToUtf8(std::string_view bytes) {
  std::string utf8;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      utf8 += c;
    } else {
      utf8 += static_cast<char>(0xC0 | byte >> 6);
      utf8 += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return utf8;
}

// Columns count characters, not bytes, when the text is UTF-8.
std::size_t DisplayWidth(std::string_view text) {
  if (!IsValidUtf8(text)) return text.size();
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0u) != 0x80u;
  }));
}

std::string InterfaceLabel(const DeviceView& device) {
  if (device.interfaceName.empty()) return device.interfaceAddress;
  return device.interfaceAddress + " (" + device.interfaceName + ")";
}

std::string_view DhcpLabel(bool dhcp) {
  return dhcp ? "Enabled" : "Disabled";
}

using Row = std::array<std::string, 6>;

std::string JoinRow(const Row& row, const std::array<std::size_t, 6>& widths) {
  std::string line;
  for (std::size_t column = 0; column < row.size(); ++column) {
    line += row[column];
    if (column + 1 == row.size()) break;
    line.append(widths[column] - DisplayWidth(row[column]) + 2, ' ');
  }
  return line + "\n";
}

// One object on one line, its members in the order given.
std::string JsonObject(std::initializer_list<std::pair<std::string_view, std::string>> members) {
  std::string json = "{";
  for (const auto& [key, value] : members) {
    if (json.size() > 1) json += ",";
    json += JsonString(key) + ":" + value;
  }
  return json + "}";
}

std::string JsonBool(bool value) {
  return nlohmann::json(value).dump();
}

std::string DeviceObject(const DeviceView& device, std::string_view extra = {}) {
  std::string object = JsonObject({{"name", JsonString(device.name)},
                                   {"address", JsonString(device.address)},
                                   {"netmask", JsonString(device.netmask)},
                                   {"gateway", JsonString(device.gateway)},
                                   {"dhcp", JsonBool(device.dhcp)},
                                   {"interface", JsonString(device.interfaceAddress)}});
  if (!extra.empty()) object.insert(object.size() - 1, extra);
  return object;
}

// An array with one element a line, as scripts and people read it best.
std::string JsonLines(const std::vector<std::string>& elements) {
  std::string json = "[";
  for (std::size_t i = 0; i < elements.size(); ++i)
    json += (i == 0 ? "\n  " : ",\n  ") + elements[i];
  return json + (elements.empty() ? "]\n" : "\n]\n");
}

}  // namespace

// Texts from the network are bytes. Valid UTF-8 goes out as it is; any other text is read as
// Latin-1 and its characters beyond ASCII go out escaped (\u00XX), so that the bytes the device
// sent can be told from the text. nlohmann-json writes control characters with JSON's own
// escapes.
std::string JsonString(std::string_view bytes) {
  if (IsValidUtf8(bytes)) {
    return nlohmann::json(std::string(bytes)).dump(-1, ' ', false);
  }
  return nlohmann::json(Latin1ToUtf8(bytes)).dump(-1, ' ', true);
}

std::string TerminalSafe(std::string_view bytes) {
  const bool utf8 = IsValidUtf8(bytes);
  std::string safe;
  safe.reserve(bytes.size());
  for (std::size_t at = 0; at < bytes.size();) {
    const Utf8Character character =
        utf8 ? DecodeUtf8(bytes, at) : Utf8Character{1, static_cast<unsigned char>(bytes[at])};
    if (SteersTheTerminal(character.codePoint)) {
      safe += '?';
    } else {
      safe.append(bytes.substr(at, character.length));
    }
    at += character.length;
  }
  return safe;
}

std::string TerminalLine(std::string_view line) {
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  return TerminalSafe(line) + "\n";
}

std::string FormatDeviceTable(const std::vector<DeviceView>& devices) {
  std::vector<Row> rows = {{"Name", "IP", "Netmask", "Gateway", "DHCP", "Interface"}};
  for (const DeviceView& device : devices) {
    rows.push_back({TerminalSafe(device.name), TerminalSafe(device.address),
                    TerminalSafe(device.netmask), TerminalSafe(device.gateway),
                    std::string(DhcpLabel(device.dhcp)), TerminalSafe(InterfaceLabel(device))});
  }
  std::array<std::size_t, 6> widths{};
  for (const Row& row : rows) {
    for (std::size_t column = 0; column < row.size(); ++column) {
      widths[column] = std::max(widths[column], DisplayWidth(row[column]));
    }
  }
  std::string table;
  for (const Row& row : rows) table += JoinRow(row, widths);
  return table;
}

std::string FormatDevicesJson(const std::vector<DeviceView>& devices) {
  std::vector<std::string> objects;
  for (const DeviceView& device : devices) objects.push_back(DeviceObject(device));
  return JsonLines(objects);
}

std::string FormatDetailsText(const DeviceDetails& details) {
  const DeviceView& device = details.device;
  std::string text;
  const auto line = [&text](std::string_view label, std::string_view value) {
    text += std::string(label) + std::string(11 - label.size(), ' ') + TerminalSafe(value) + "\n";
  };
  line("Name:", device.name);
  line("IP:", device.address);
  line("Netmask:", device.netmask);
  line("Gateway:", device.gateway);
  line("DHCP:", DhcpLabel(device.dhcp));
  line("Interface:", InterfaceLabel(device));
  line("Workgroup:", details.workgroup);
  if (details.shares.empty()) line("Shares:", "(none)");
  for (std::size_t i = 0; i < details.shares.size(); ++i) {
    line(i == 0 ? "Shares:" : "", details.shares[i]);
  }
  return text;
}

std::string FormatDetailsJson(const DeviceDetails& details) {
  std::string shares = "[";
  for (const std::string& share : details.shares) {
    shares += (shares.size() > 1 ? "," : "") + JsonString(share);
  }
  return DeviceObject(details.device, ",\"workgroup\":" + JsonString(details.workgroup) +
                                          ",\"shares\":" + shares + "]") +
         "\n";
}

std::string FormatDrivesTable(const std::vector<operations::MappedDrive>& drives) {
  std::size_t width = std::string_view("Remote name").size();
  for (const operations::MappedDrive& drive : drives) {
    width = std::max(width, DisplayWidth(drive.remote));
  }
  const auto row = [width](std::string_view letter, std::string_view remote,
                           std::string_view path) {
    return std::string(letter) + "  " + TerminalSafe(remote) +
           std::string(width - DisplayWidth(remote) + 2, ' ') + TerminalSafe(path) + "\n";
  };
  std::string table = row("Drive", "Remote name", "Path");
  for (const operations::MappedDrive& drive : drives) {
    table += row(std::string{drive.letter, ':'} + "   ", drive.remote, drive.folder);
  }
  return table;
}

std::string FormatDrivesJson(const std::vector<operations::MappedDrive>& drives) {
  std::vector<std::string> objects;
  for (const operations::MappedDrive& drive : drives) {
    objects.push_back(JsonObject({{"letter", JsonString(std::string(1, drive.letter))},
                                  {"remote", JsonString(drive.remote)},
                                  {"path", JsonString(drive.folder)}}));
  }
  return JsonLines(objects);
}

}  // namespace corvane::cli
