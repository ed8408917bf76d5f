// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One run of the protocol for a command: the transport, with its problems on standard error, the
// searches, the selected device, and the trace of --verbose.

#include <optional>
#include <string>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/password_input.h"
#include "operations/device_view.h"
#include "operations/lan_settings.h"
#include "protocol/session.h"

namespace corvane::cli {

class DeviceRun {
 public:
  DeviceRun(const CommandLine& line, Console& console);

  protocol::Session& session() { return session_; }
  const operations::DeviceIdentity& selected() const { return selected_; }
  const protocol::DeviceRecord& record() const {
    return *session_.DeviceTable.FindDeviceByAddress(address_);
  }

  // False when no interface can carry the protocol at all.
  bool Open();
  void Search();
  // Searches and selects the device; the exit status when it is not there.
  std::optional<int> SearchAndSelect(const std::string& address);
  // The shares, the web page and language support need the selected device in the local
  // subnet, as the window's buttons do: the exit status when it is not.
  std::optional<int> RefuseOutsideSubnet();
  // After a change: where the device answers now. Only the device itself counts, not another
  // one that answers at the address.
  operations::Whereabouts ReportWhereNow(const operations::DeviceIdentity& device,
                                         const std::string& address);
  // The steps of a LAN change, for --verbose.
  void TraceSteps(const operations::LanResult& result, PasswordSource source);

 private:
  void Trace(const std::string& line);
  void PrintAnswersAt(const operations::DeviceView& view);

  Console& console_;
  bool verbose_;
  protocol::Session session_;
  std::string address_;
  operations::DeviceIdentity selected_{};
};

}  // namespace corvane::cli
