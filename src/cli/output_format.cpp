// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/output_format.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <utility>

#include "cli/text_width.h"
#include "platform/translation.h"

namespace corvane::cli {

namespace {

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

std::string InterfaceLabel(const DeviceView& device) {
  if (device.interfaceName.empty()) return device.interfaceAddress;
  return device.interfaceAddress + " (" + device.interfaceName + ")";
}

using Row = std::array<std::string, 6>;

std::string JoinRow(const Row& row, const std::array<std::size_t, 6>& widths) {
  std::string line;
  for (std::size_t column = 0; column + 1 < row.size(); ++column) {
    line += PadRight(row[column], widths[column] + 2);
  }
  return line + row.back() + "\n";
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

std::string_view DhcpLabel(bool dhcp) {
  return platform::Tr(dhcp ? NC_("DHCP client", "Enabled") : NC_("DHCP client", "Disabled"));
}

std::string FormatDeviceTable(const std::vector<DeviceView>& devices) {
  std::vector<Row> rows = {{std::string(platform::Tr(NC_("device list column", "Name"))),
                            std::string(platform::Tr(NC_("device list column", "IP"))),
                            std::string(platform::Tr(NC_("device list column", "Netmask"))),
                            std::string(platform::Tr(NC_("device list column", "Gateway"))),
                            std::string(platform::Tr(NC_("device list column", "DHCP"))),
                            std::string(platform::Tr(NC_("device list column", "Interface")))}};
  for (const DeviceView& device : devices) {
    rows.push_back({TerminalSafe(device.name), TerminalSafe(device.address),
                    TerminalSafe(device.netmask), TerminalSafe(device.gateway),
                    std::string(DhcpLabel(device.dhcp)), TerminalSafe(InterfaceLabel(device))});
  }
  std::array<std::size_t, 6> widths{};
  for (const Row& row : rows) {
    for (std::size_t column = 0; column < row.size(); ++column) {
      widths[column] = std::max(widths[column], TextWidth(row[column]));
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
  using platform::Tr;
  const std::vector<std::pair<std::string_view, std::string>> fields = {
      // TRANSLATORS: this and the next labels start the lines of 'corvane info'; the values
      // line up one blank after the longest label.
      {Tr("Name:"), device.name},
      {Tr("IP:"), device.address},
      {Tr("Netmask:"), device.netmask},
      {Tr("Gateway:"), device.gateway},
      {Tr("DHCP:"), std::string(DhcpLabel(device.dhcp))},
      {Tr("Interface:"), InterfaceLabel(device)},
      {Tr("Workgroup:"), details.workgroup}};
  const std::string_view sharesLabel = Tr("Shares:");
  std::size_t width = TextWidth(sharesLabel) + 1;
  for (const auto& field : fields) width = std::max(width, TextWidth(field.first) + 1);
  std::string text;
  const auto line = [&text, width](std::string_view label, std::string_view value) {
    text += PadRight(label, width) + TerminalSafe(value) + "\n";
  };
  for (const auto& [label, value] : fields) line(label, value);
  if (details.shares.empty()) line(sharesLabel, Tr("(none)"));
  for (std::size_t i = 0; i < details.shares.size(); ++i) {
    line(i == 0 ? sharesLabel : "", details.shares[i]);
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
  const std::string_view letterHeader = platform::Tr(NC_("drive list column", "Drive"));
  const std::string_view remoteHeader = platform::Tr(NC_("drive list column", "Remote name"));
  const std::size_t letterWidth = std::max<std::size_t>(TextWidth(letterHeader), 2);
  std::size_t remoteWidth = TextWidth(remoteHeader);
  for (const operations::MappedDrive& drive : drives) {
    remoteWidth = std::max(remoteWidth, TextWidth(TerminalSafe(drive.remote)));
  }
  const auto row = [&](std::string_view letter, std::string_view remote, std::string_view path) {
    return PadRight(letter, letterWidth + 2) + PadRight(TerminalSafe(remote), remoteWidth + 2) +
           TerminalSafe(path) + "\n";
  };
  std::string table =
      row(letterHeader, remoteHeader, platform::Tr(NC_("drive list column", "Path")));
  for (const operations::MappedDrive& drive : drives) {
    table += row(std::string{drive.letter, ':'}, drive.remote, drive.folder);
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
