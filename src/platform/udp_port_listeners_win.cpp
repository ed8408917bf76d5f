// SPDX-License-Identifier: GPL-3.0-or-later
// From the system's table of UDP endpoints with their owning processes; a process's program
// name is readable for other users' processes too (limited query rights suffice).
#include <winsock2.h>
#include <ws2tcpip.h>
// after the socket headers
#include <iphlpapi.h>

#include <algorithm>
#include <array>
#include <vector>

#include "platform/udp_port_listeners.h"
#include "platform/wide_text_win.h"

namespace corvane::platform {
namespace {

std::string ProgramOf(DWORD pid) {
  const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (process == nullptr) return {};
  std::array<wchar_t, MAX_PATH> path{};
  DWORD length = static_cast<DWORD>(path.size());
  const BOOL found = ::QueryFullProcessImageNameW(process, 0, path.data(), &length);
  ::CloseHandle(process);
  if (found == FALSE) return {};
  const std::wstring_view full(path.data(), length);
  const std::size_t slash = full.find_last_of(L"\\/");
  return Utf8(slash == std::wstring_view::npos ? full : full.substr(slash + 1));
}

template <typename Table>
std::vector<unsigned char> ReadTable(ULONG family) {
  std::vector<unsigned char> storage;
  DWORD size = 0;
  DWORD result = ERROR_INSUFFICIENT_BUFFER;
  for (int attempt = 0; attempt < 4 && result == ERROR_INSUFFICIENT_BUFFER; ++attempt) {
    storage.assign(size + sizeof(Table), 0);
    size = static_cast<DWORD>(storage.size());
    result = ::GetExtendedUdpTable(storage.data(), &size, FALSE, family, UDP_TABLE_OWNER_PID, 0);
  }
  if (result != NO_ERROR) storage.clear();
  return storage;
}

}  // namespace

std::vector<PortListener> OtherUdpListeners(std::uint16_t port) {
  const DWORD self = ::GetCurrentProcessId();
  std::vector<PortListener> listeners;
  const auto add = [&](DWORD pid) {
    if (pid == self) return;
    listeners.push_back(PortListener{static_cast<int>(pid), ProgramOf(pid)});
  };
  const std::vector<unsigned char> v4 = ReadTable<MIB_UDPTABLE_OWNER_PID>(AF_INET);
  if (!v4.empty()) {
    const auto* table = reinterpret_cast<const MIB_UDPTABLE_OWNER_PID*>(v4.data());
    for (DWORD k = 0; k < table->dwNumEntries; ++k) {
      const MIB_UDPROW_OWNER_PID& row = table->table[k];
      if (ntohs(static_cast<u_short>(row.dwLocalPort)) == port) add(row.dwOwningPid);
    }
  }
  // An IPv6 socket takes IPv4 datagrams only bound to the any-address (dual-stack).
  const std::vector<unsigned char> v6 = ReadTable<MIB_UDP6TABLE_OWNER_PID>(AF_INET6);
  if (!v6.empty()) {
    const auto* table = reinterpret_cast<const MIB_UDP6TABLE_OWNER_PID*>(v6.data());
    for (DWORD k = 0; k < table->dwNumEntries; ++k) {
      const MIB_UDP6ROW_OWNER_PID& row = table->table[k];
      if (ntohs(static_cast<u_short>(row.dwLocalPort)) != port) continue;
      const in6_addr any = IN6ADDR_ANY_INIT;
      if (std::equal(std::begin(row.ucLocalAddr), std::end(row.ucLocalAddr), any.s6_addr)) {
        add(row.dwOwningPid);
      }
    }
  }
  return listeners;
}

}  // namespace corvane::platform
