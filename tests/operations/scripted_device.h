// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A session that knows one device, answered by a script instead of the network, and a front end
// that records what an operation asked of it.

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "../protocol/fake_exchange_io.h"
#include "operations/input_rules.h"
#include "operations/interaction.h"
#include "protocol/session.h"

namespace corvane::operations::testing {

using protocol::testing::Bytes;
using protocol::testing::DeviceFacts;
using protocol::testing::kTestClientId;

// Answers read and set requests as a device with this password does.
struct ScriptedDevice {
  std::string password = "vorel";
  std::string workgroup = "WORKGROUP";
  std::string shares = "HDD_a:public";
  std::string codepage = "850";
  std::string ideok = "3";
  std::string systemShare = "HDD_a";
  std::array<std::uint8_t, 4> dhcpAddress = {192, 168, 50, 121};
  bool answersSets = true;
  bool answersReads = true;
  std::vector<int> unanswered;  // item codes it ignores, read or set
  std::vector<Bytes> sets;      // every set request it received

  std::optional<Bytes> Answer(const Bytes& request) {
    if (request.size() < 28) return std::nullopt;
    const std::uint8_t item = request[21];
    if (std::find(unanswered.begin(), unanswered.end(), item) != unanswered.end()) {
      return std::nullopt;
    }
    const DeviceFacts self;
    if (request[0] == 3) {
      if (!answersReads) return std::nullopt;
      std::string value = ReadValue(item);
      if (item == 4) value = PasswordIn(request) == password ? "1" : "";
      return protocol::testing::ReadReply(kTestClientId, self, value, item);
    }
    sets.push_back(request);
    if (!answersSets) return std::nullopt;
    DeviceFacts moved = self;
    if (item == 2) moved.address = dhcpAddress;
    if (item == 1) {
      const std::string text(request.begin() + 60, request.end());
      const auto octets = *protocol::ParseAddress(text);
      for (std::size_t k = 0; k < 4; ++k) moved.address[k] = static_cast<std::uint8_t>(octets[k]);
    }
    return protocol::testing::SetReply(kTestClientId, moved, item);
  }

  std::string ReadValue(std::uint8_t item) const {
    switch (item) {
      case 3:
        return shares;
      case 9:
        return codepage;
      case 11:
        return ideok;
      case 12:
        return systemShare;
      default:
        return workgroup;
    }
  }

  static std::string PasswordIn(const Bytes& request) {
    const std::string payload(request.begin() + 28, request.end());
    const std::size_t separator = payload.find("\x55\xAA");
    return separator == std::string::npos ? "" : payload.substr(separator + 2);
  }
};

// The session of a front end that has found the device (on interface 0) and selected it.
class ScriptedSession {
 public:
  ScriptedSession() {
    session.ClientId = kTestClientId;
    session.InterfaceCount = 1;
    session.DeviceTable.AddDevice("NAS1", "192.168.50.21", "255.255.255.0", "192.168.50.1", "0",
                                  {0, 0x11, 0x22, 0x33, 0x44, 0xaa, 192, 168, 50, 21}, 0);
    session.SelectedAddress.Set("192.168.50.21");
    session.SetTraceSink([](std::string_view) {});
    io.onSend = [this](int interfaceIndex, const Bytes& request) {
      if (const auto reply = device.Answer(request)) io.Queue(interfaceIndex, *reply);
    };
  }

  ScriptedDevice device;
  protocol::testing::FakeExchangeIo io;
  protocol::Session session{io};
};

// Records what an operation asked of the front end, in order; waits for work beside it really.
class RecordingInteraction : public Interaction {
 public:
  // What the user answers when asked for the administrator password, or a share's credentials
  // ("user", "password"); without one, the front end has nothing to give.
  std::function<std::pair<std::string, std::string>()> answer;
  std::function<std::pair<std::string, std::string>()> shareAnswer;
  MapType mapType = MapType::kAddress;
  // "ask", "blocking", "workgroup WG", "map type", "share login \\host\share"
  std::vector<std::string> steps;

  // The steps without the waits: what the user saw.
  std::vector<std::string> Questions() const {
    std::vector<std::string> asked;
    for (const std::string& step : steps) {
      if (step != "blocking") asked.push_back(step);
    }
    return asked;
  }

  std::optional<platform::Credentials> AskAdministratorCredentials() override {
    steps.push_back("ask");
    return Give(answer);
  }
  // Blocking work really runs beside; the wait is recorded as one step.
  void WaitUntil(const std::function<bool()>& done) override {
    steps.push_back("blocking");
    while (!done()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  void Report(const Progress& progress) override {
    if (progress.kind == Progress::Kind::kWorkgroupRead) {
      steps.push_back("workgroup " + std::string(progress.text));
    }
  }
  MapType ChooseMapType() override {
    steps.push_back("map type");
    return mapType;
  }
  std::optional<platform::Credentials> AskShareCredentials(std::string_view remote) override {
    steps.push_back("share login " + std::string(remote));
    return Give(shareAnswer);
  }

 private:
  static std::optional<platform::Credentials> Give(
      const std::function<std::pair<std::string, std::string>()>& typed) {
    if (!typed) return std::nullopt;
    const auto [user, password] = typed();
    return platform::Credentials{platform::SecretText(user), platform::SecretText(password)};
  }
};

}  // namespace corvane::operations::testing
