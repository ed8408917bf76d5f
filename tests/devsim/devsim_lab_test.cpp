// SPDX-License-Identifier: GPL-3.0-or-later
// Simulated devices of the standard lab, heard from the PC namespace over real multicast.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "lab_socket.h"
#include "request_bytes.h"
#include "support/lab_support.h"

namespace corvane::devsim::testing {
namespace {

using corvane::lab::Environment;
using nlohmann::json;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string DevicePath(const std::string& id, const std::string& suffix) {
  return Environment("CORVANE_LAB_DIR") + "/devices/" + id + suffix;
}

json State(const std::string& id) {
  return json::parse(ReadFile(DevicePath(id, ".state.json")));
}

std::string Hex(const Bytes& bytes) {
  std::string text;
  char digits[3];
  for (std::uint8_t byte : bytes) {
    std::snprintf(digits, sizeof digits, "%02x", byte);
    text += digits;
  }
  return text;
}

std::array<std::uint8_t, 6> DeviceIdOf(const std::string& id) {
  std::string hex = State(id)["deviceId"];
  std::array<std::uint8_t, 6> bytes{};
  for (std::size_t i = 0; i < 6; ++i) {
    bytes[i] = static_cast<std::uint8_t>(std::stoul(hex.substr(2 * i, 2), nullptr, 16));
  }
  return bytes;
}

std::array<std::uint8_t, 4> Octets(const std::string& address) {
  in_addr parsed{};
  inet_pton(AF_INET, address.c_str(), &parsed);
  std::array<std::uint8_t, 4> octets{};
  std::memcpy(octets.data(), &parsed, 4);
  return octets;
}

// Each test uses its own ClientId so leftovers of another test are never taken for answers.
std::array<std::uint8_t, 10> Client(std::uint8_t tag) {
  return {0x5a, 0x11, 0x22, 0x33, 0x44, tag, 0, 0, 0, 0};
}

std::vector<Received> Mine(const std::vector<Received>& all, std::uint8_t opcode,
                           const std::array<std::uint8_t, 10>& client) {
  std::vector<Received> mine;
  for (const Received& r : all) {
    if (r.bytes.size() >= 21 && r.bytes[0] == opcode &&
        std::equal(client.begin(), client.begin() + 6, r.bytes.begin() + 1)) {
      mine.push_back(r);
    }
  }
  return mine;
}

std::multimap<std::string, Received> ByAddress(const std::vector<Received>& replies) {
  std::multimap<std::string, Received> map;
  for (const Received& r : replies) map.emplace(AddressAt17(r.bytes), r);
  return map;
}

// Opcode 1, 2 and 7 replies of this client, keyed by the address they announce.
std::multimap<std::string, Received> Discover(LabSocket& socket, std::uint8_t tag,
                                              const std::vector<std::string>& expected) {
  auto client = Client(tag);
  socket.SendToGroup(Discovery(client));
  socket.SendToGroup(Discovery(client));
  auto replies = [&](const std::vector<Received>& all) {
    auto two = Mine(all, 2, client), seven = Mine(all, 7, client);
    two.insert(two.end(), seven.begin(), seven.end());
    return two;
  };
  auto all = socket.Collect([&](const std::vector<Received>& so_far) {
    auto found = ByAddress(replies(so_far));
    for (const std::string& address : expected) {
      if (found.count(address) == 0) return false;
    }
    return true;
  });
  // Stragglers of the same burst (second sends, both-mode copies) arrive right behind.
  auto more = socket.Collect([](const std::vector<Received>&) { return false; },
                             std::chrono::milliseconds(300));
  all.insert(all.end(), more.begin(), more.end());
  return ByAddress(replies(all));
}

class DevsimLab : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(Environment("CORVANE_LAB_DIR").empty()) << "runs inside the lab (lab.sh run)";
  }
  // Every test finds the lab as configured, whatever the one before changed or left behind.
  void TearDown() override { EXPECT_TRUE(corvane::lab::ResetDevices()); }
};

TEST_F(DevsimLab, DiscoveryOnTheFirstSubnet) {
  LabSocket lan1("lan1", "192.168.50.10");
  auto found = Discover(lan1, 1,
                        {"192.168.50.21", "192.168.50.23", "10.99.0.5", "192.168.50.25",
                         "192.168.50.26", "192.168.50.28"});

  ASSERT_EQ(found.count("192.168.50.21"), 1u) << "one answer per burst";
  const Received& alder = found.find("192.168.50.21")->second;
  EXPECT_EQ(alder.bytes[0], 2);
  EXPECT_EQ(Text(alder.bytes, 60), "NAS-ALDER");
  EXPECT_EQ(alder.sender, "192.168.50.21");
  EXPECT_EQ(alder.senderPort, 13579);
  EXPECT_EQ(alder.destination, "224.0.0.1");

  ASSERT_EQ(found.count("10.99.0.5"), 1u) << "a foreign subnet is heard through the group";
  EXPECT_EQ(found.find("10.99.0.5")->second.sender, "10.99.0.5");

  const Received& elder = found.find("192.168.50.25")->second;
  EXPECT_EQ(elder.bytes[0], 7);
  EXPECT_EQ(elder.bytes[56], 6);
  EXPECT_EQ(elder.bytes[57], 6);
  EXPECT_EQ(Text(elder.bytes, 72), "NAS-ELDER");
  const Received& fir = found.find("192.168.50.26")->second;
  EXPECT_EQ(fir.bytes[56], 1);
  EXPECT_EQ(fir.bytes[57], 2);

  // Both sends, each answered to the group and to us.
  auto hazel = found.equal_range("192.168.50.28");
  std::multiset<std::string> destinations;
  for (auto it = hazel.first; it != hazel.second; ++it) destinations.insert(it->second.destination);
  EXPECT_EQ(destinations, (std::multiset<std::string>{"192.168.50.10", "192.168.50.10", "224.0.0.1",
                                                      "224.0.0.1"}));

  EXPECT_EQ(found.count("192.168.60.22"), 0u) << "a device of the other subnet";
}

TEST_F(DevsimLab, EveryDatagramIsLoggedWithItsLeg) {
  LabSocket lan1("lan1", "192.168.50.10");
  Discover(lan1, 2, {"192.168.50.21"});
  const std::string expected = "eth0 " + Hex(Discovery(Client(2)));
  std::istringstream log(ReadFile(DevicePath("nas1", ".log")));
  int mine = 0;
  const std::regex format("eth[0-9]+ ([0-9a-f]{2})+");
  for (std::string line; std::getline(log, line);) {
    EXPECT_TRUE(std::regex_match(line, format)) << line;
    if (line == expected) ++mine;
  }
  EXPECT_EQ(mine, 2) << "both sends of the burst";
}

TEST_F(DevsimLab, UnicastAndTwoLegDevicesOnTheSecondSubnet) {
  LabSocket lan2("lan2", "192.168.60.10");
  auto found = Discover(lan2, 3, {"192.168.60.22", "192.168.50.23"});
  const Received& birch = found.find("192.168.60.22")->second;
  EXPECT_EQ(birch.destination, "192.168.60.10") << "unicast to the asking interface";
  EXPECT_EQ(birch.senderPort, 13579);
  EXPECT_EQ(birch.bytes[21], '1');
  // The two-leg device keeps one identity but answers out of the leg the request came in on.
  const Received& cedar = found.find("192.168.50.23")->second;
  EXPECT_EQ(cedar.sender, "192.168.60.23");
  EXPECT_EQ(cedar.destination, "224.0.0.1");
  EXPECT_EQ(found.count("192.168.60.29"), 0u) << "the silent device";
  EXPECT_EQ(State("nas3")["legs"][1]["interface"], "eth1");
}

TEST_F(DevsimLab, ReadsAndCredentials) {
  LabSocket lan1("lan1", "192.168.50.10");
  auto client = Client(4);
  auto id = DeviceIdOf("nas8");
  auto address = Octets("192.168.50.28");
  // nas8 answers to the group and to us, so every answer comes twice: pick it by item.
  auto ask = [&](std::uint8_t item, const std::string& payload = {}) {
    lan1.SendToGroup(Read(id, address, item, payload, client));
    auto answers = [&](const std::vector<Received>& all) {
      std::vector<Received> matching;
      for (const Received& r : Mine(all, 4, client)) {
        if (r.bytes.size() >= 28 && r.bytes[21] == item) matching.push_back(r);
      }
      return matching;
    };
    auto all = lan1.Collect(
        [&](const std::vector<Received>& so_far) { return answers(so_far).size() == 2; });
    auto mine = answers(all);
    return mine.size() != 2 ? std::string("<no reply>") : Text(mine.front().bytes, 28);
  };
  EXPECT_EQ(ask(6), "WORKGROUP");
  EXPECT_EQ(ask(3), "HDD_a:public");
  EXPECT_EQ(ask(4, Credentials("admin", "hazel-secret")), "1");
  EXPECT_EQ(ask(4, Credentials("admin", "vorel")), "");
}

TEST_F(DevsimLab, AddressChangesReallyMoveTheDevice) {
  LabSocket lan1("lan1", "192.168.50.10");
  auto client = Client(5);
  auto id = DeviceIdOf("nas6");
  auto setReply = [&](const Bytes& request) {
    lan1.SendToGroup(request);
    auto replies = lan1.Collect(
        [&](const std::vector<Received>& all) { return !Mine(all, 6, client).empty(); });
    auto mine = Mine(replies, 6, client);
    return mine.empty() ? Received{} : mine.front();
  };

  Received moved = setReply(Set(id, Octets("192.168.50.26"), 1, "192.168.50.76", "255.255.255.0",
                                "192.168.50.254", client));
  ASSERT_FALSE(moved.bytes.empty()) << "no set reply";
  EXPECT_EQ(AddressAt17(moved.bytes), "192.168.50.76");
  EXPECT_EQ(moved.sender, "192.168.50.76") << "the reply leaves from the new address";
  json state = State("nas6");
  EXPECT_EQ(state["address"], "192.168.50.76");
  EXPECT_EQ(state["gateway"], "192.168.50.254");

  Received dhcp = setReply(Set(id, Octets("192.168.50.76"), 2, "", "", "", client));
  ASSERT_FALSE(dhcp.bytes.empty()) << "no reply to the DHCP switch";
  EXPECT_EQ(AddressAt17(dhcp.bytes), "192.168.50.126");
  EXPECT_EQ(dhcp.sender, "192.168.50.126");
  EXPECT_EQ(State("nas6")["dhcp"], true);

  auto found = Discover(lan1, 6, {"192.168.50.126"});
  EXPECT_EQ(found.find("192.168.50.126")->second.bytes[21], '1');
  EXPECT_EQ(found.count("192.168.50.26"), 0u);

  // A reset moves it back where the config put it.
  ASSERT_TRUE(corvane::lab::ResetDevices());
  EXPECT_EQ(State("nas6")["address"], "192.168.50.26");
  EXPECT_EQ(State("nas6")["dhcp"], false);
  auto home = Discover(lan1, 9, {"192.168.50.26"});
  ASSERT_EQ(home.count("192.168.50.26"), 1u);
  EXPECT_EQ(home.find("192.168.50.26")->second.bytes[21], '0');
  EXPECT_EQ(home.count("192.168.50.126"), 0u);
}

TEST_F(DevsimLab, SilenceCanBeSwitchedWhileTheLabRuns) {
  const std::string labSh = Environment("CORVANE_LAB_SH");
  ASSERT_FALSE(labSh.empty()) << "CORVANE_LAB_SH names lab.sh";
  const std::string silence = labSh + " silence " + Environment("CORVANE_LAB") + " nas9 ";
  LabSocket lan2("lan2", "192.168.60.10");

  ASSERT_EQ(std::system((silence + "off").c_str()), 0);
  EXPECT_EQ(State("nas9")["silent"], false);
  auto awake = Discover(lan2, 7, {"192.168.60.22", "192.168.60.29"});
  EXPECT_EQ(awake.count("192.168.60.29"), 1u);

  ASSERT_EQ(std::system((silence + "on").c_str()), 0);
  auto quiet = Discover(lan2, 8, {"192.168.60.22", "192.168.50.23"});
  EXPECT_EQ(quiet.count("192.168.60.29"), 0u);
  // It still hears everything.
  EXPECT_THAT(ReadFile(DevicePath("nas9", ".log")),
              ::testing::HasSubstr(Hex(Discovery(Client(8)))));
}

}  // namespace
}  // namespace corvane::devsim::testing
