// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/local_interfaces.h"
#include "protocol/device_table.h"
#include "protocol/fixed_text.h"
#include "protocol/protocol_constants.h"
#include "protocol/protocol_types.h"

namespace corvane::protocol {

class ExchangeIo;

struct InterfaceEntry {
  FixedText<16> address;  // dotted IPv4 text
  unsigned systemIndex = 0;
  std::string name;
};

// All state of one program run: the transport (interfaces, sockets, ClientId), the device
// table, the share list of the selected device and the request buffers. Several may exist at
// once (tests); none of it is global. Nothing here throws across the API: requests return 0 on
// failure as the callers expect.
class Session {
 public:
  Session();
  // A session without sockets: its searches and requests go through io, which must outlive it
  // (unit tests script the devices this way). Not for OpenTransport.
  explicit Session(ExchangeIo& io);
  ~Session();  // closes the transport
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Opens two sockets per interface; without arguments the interfaces come from the platform.
  void OpenTransport();
  void OpenTransport(const std::vector<platform::LocalInterface>& interfaces);
  void CloseTransport();
  bool IsTransportOpen() const;
  const std::vector<TransportProblem>& TransportProblems() const;

  // Empties and refills DeviceTable; takes about 1.1 s, every interface served at once.
  void SearchDevices(int firstFilter, int secondFilter);

  // The thirteen requests to the device named by SelectedAddress: 0 = failure (requests.cpp).
  int SetAddress();        // item 1
  int SetDhcp();           // item 2
  int ReadShareList();     // item 3
  int CheckCredentials();  // item 4: first value byte, 0 = refused
  int SetHostName();       // item 5
  int ReadWorkgroup();     // item 6
  int SetWorkgroup();      // item 7
  int SetCodepage();       // item 8
  int ReadCodepage();      // item 9
  int SendRw();            // item 10
  int ReadIdeOk();         // item 11
  int ReadShareName();     // item 12
  int SendStop();          // item 13

  // Item 4 without folding "no answer" into 0: empty when no reply was accepted, else what
  // CheckCredentials returns. A device that is gone is not one that refused the password.
  std::optional<int> AnswerCredentials();

  // Receives each diagnostic trace line (with its "\n"); by default they go to stdout.
  void SetTraceSink(std::function<void(std::string_view)> sink);

  // --- State of the run, under the names the rest of the program uses ---
  std::array<InterfaceEntry, kMaxInterfaces> InterfaceTable{};
  int InterfaceCount = 0;
  ClientIdBytes ClientId{};

  DeviceRecordList DeviceTable;
  ShareEntryList ShareList;

  FixedText<16> SelectedAddress;
  FixedText<16> NewAddress;
  FixedText<16> NewNetmask;
  FixedText<16> NewGateway;
  FixedText<kMaxLoginLength + 1> LoginUserName;
  FixedText<kMaxLoginLength + 1> LoginPassword;
  FixedText<32> HostNameText;
  FixedText<32> WorkgroupText;
  FixedText<32> CodepageText;
  FixedText<20> ShareNameText;
  FixedText<8> IdeOkText;
  FixedText<8> RwText;
  FixedText<8> StopText;

 private:
  struct Impl;
  class RequestSteps;  // what the thirteen requests have in common (requests.cpp)
  ExchangeIo& RequestIo();
  void TraceLine(std::string_view line) const;

  std::unique_ptr<Impl> impl_;
};

}  // namespace corvane::protocol
