// SPDX-License-Identifier: GPL-3.0-or-later
// From the kernel's socket tables (/proc/net/udp, /proc/net/udp6) of this network namespace;
// the owner of a socket is the process that holds its inode among its open files, which is
// readable for other users' processes only with privileges.
#include <unistd.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string_view>

#include "platform/udp_port_listeners.h"

namespace corvane::platform {
namespace {

using Inode = unsigned long;

std::optional<unsigned long> ParseNumber(std::string_view text, int base = 10) {
  unsigned long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Entries that vanish while they are read (processes ending) just end the walk.
template <typename Visit>
void ForEachEntry(const std::filesystem::path& dir, const Visit& visit) {
  std::error_code error;
  for (std::filesystem::directory_iterator it(dir, error), end; !error && it != end;
       it.increment(error)) {
    visit(*it);
  }
}

// An IPv6 socket takes IPv4 datagrams when bound to :: or ::ffff:a.b.c.d. The table prints the
// address as four 32-bit words in host byte order, so the ffff word reads either way round.
bool TakesIpv4(const std::string& hexAddress) {
  if (hexAddress.size() != 32 || hexAddress.compare(0, 16, std::string(16, '0')) != 0) {
    return false;
  }
  const std::string third = hexAddress.substr(16, 8);
  return hexAddress == std::string(32, '0') || third == "FFFF0000" || third == "0000FFFF";
}

// Lines: slot, local address HEX:PORT, remote, state, queues, timer, retransmits, uid, timeout,
// inode, and more.
std::set<Inode> InodesBoundTo(const char* table, std::uint16_t port, bool ipv6) {
  std::set<Inode> inodes;
  std::ifstream file(table);
  std::string line;
  std::getline(file, line);  // the heading
  while (std::getline(file, line)) {
    std::istringstream fields(line);
    std::string slot, local, skip;
    Inode inode = 0;
    fields >> slot >> local;
    for (int i = 0; i < 7; ++i) fields >> skip;
    fields >> inode;
    const std::size_t colon = local.rfind(':');
    if (!fields || colon == std::string::npos || inode == 0) continue;
    if (ParseNumber(std::string_view(local).substr(colon + 1), 16) != port) continue;
    if (ipv6 && !TakesIpv4(local.substr(0, colon))) continue;
    inodes.insert(inode);
  }
  return inodes;
}

// The socket inodes among a process's open files; empty when they cannot be read.
std::set<Inode> SocketInodesOf(const std::filesystem::path& processDir) {
  std::set<Inode> inodes;
  ForEachEntry(processDir / "fd", [&](const std::filesystem::directory_entry& entry) {
    std::error_code error;
    const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
    if (error || target.rfind("socket:[", 0) != 0 || target.back() != ']') return;
    const std::string_view digits(target.data() + 8, target.size() - 9);
    if (const auto inode = ParseNumber(digits)) inodes.insert(*inode);
  });
  return inodes;
}

// Any process may give itself any name, escape sequences included: only printable ASCII is
// passed on.
std::string ProgramName(const std::filesystem::path& processDir) {
  std::ifstream file(processDir / "comm");
  std::string name;
  std::getline(file, name);
  for (char& c : name) {
    if (c < 0x20 || c > 0x7e) c = '?';
  }
  return name;
}

// Each socket with the process that holds it, when one can be found.
std::vector<PortListener> OwnersOf(std::set<Inode> sockets) {
  std::vector<PortListener> listeners;
  const unsigned long self = static_cast<unsigned long>(::getpid());
  ForEachEntry("/proc", [&](const std::filesystem::directory_entry& entry) {
    const std::optional<unsigned long> pid = ParseNumber(entry.path().filename().string());
    if (sockets.empty() || !pid || *pid == self) return;
    for (Inode inode : SocketInodesOf(entry.path())) {
      if (sockets.erase(inode) == 0) continue;
      listeners.push_back(PortListener{static_cast<int>(*pid), ProgramName(entry.path())});
    }
  });
  listeners.resize(listeners.size() + sockets.size());  // sockets whose holder is hidden
  return listeners;
}

}  // namespace

std::vector<PortListener> OtherUdpListeners(std::uint16_t port) {
  std::set<Inode> sockets = InodesBoundTo("/proc/net/udp", port, false);
  sockets.merge(InodesBoundTo("/proc/net/udp6", port, true));
  for (Inode own : SocketInodesOf("/proc/self")) sockets.erase(own);
  if (sockets.empty()) return {};
  return OwnersOf(std::move(sockets));
}

}  // namespace corvane::platform
