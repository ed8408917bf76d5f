// SPDX-License-Identifier: GPL-3.0-or-later
// The device protocol over real UDP multicast against simulated devices in the standard lab:
// PC with lan1 (192.168.50.10/24) and lan2 (192.168.60.10/24).
#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/local_interfaces.h"
#include "protocol/session.h"
#include "support/lab_support.h"

namespace corvane::protocol {
namespace {

using lab::Bytes;
using lab::Hex;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr char kLan1[] = "192.168.50.10";

std::string ReadFile(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// What a device id in the lab config stands for.
struct LabDevice {
  const char* id;
  const char* address;
  Bytes deviceId;  // bytes 0-5 as configured
};
const LabDevice kNas1{"nas1", "192.168.50.21", {0x00, 0x11, 0x22, 0x33, 0x44, 0xa1}};
const LabDevice kNas2{"nas2", "192.168.60.22", {0x00, 0x11, 0x22, 0x33, 0x44, 0xa2}};

Bytes DeviceIdOf(const DeviceRecord& record) {
  return Bytes(record.deviceId.begin(), record.deviceId.end());
}

void Append(Bytes& bytes, const Bytes& more) {
  bytes.insert(bytes.end(), more.begin(), more.end());
}

void AppendText(Bytes& bytes, std::string_view text, std::size_t width = 0) {
  bytes.insert(bytes.end(), text.begin(), text.end());
  if (width > text.size()) bytes.resize(bytes.size() + width - text.size(), 0);
}

void AppendLe32(Bytes& bytes, std::size_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// The request bytes as the devices expect them, written out field by field.
Bytes ExpectedRead(const Session& s, const DeviceRecord& r, std::uint8_t item,
                   const Bytes& payload = {}) {
  Bytes bytes{3};
  Append(bytes, Bytes(s.ClientId.begin(), s.ClientId.end()));
  Append(bytes, DeviceIdOf(r));
  Append(bytes, {item, 0, 0});
  AppendLe32(bytes, payload.size());
  Append(bytes, payload);
  return bytes;
}

Bytes ExpectedSet(const Session& s, const Bytes& deviceId, std::uint8_t item,
                  std::string_view payload, bool withAddresses = true) {
  Bytes bytes{5};
  Append(bytes, Bytes(s.ClientId.begin(), s.ClientId.end()));
  Append(bytes, deviceId);
  Append(bytes, {item, 0, 0});
  AppendText(bytes, withAddresses ? s.NewNetmask.view() : "", 16);
  AppendText(bytes, withAddresses ? s.NewGateway.view() : "", 16);
  AppendLe32(bytes, payload.size());
  AppendText(bytes, payload);
  return bytes;
}

// The last read or set request the device heard (it also hears the others' multicast replies).
std::string LastLogged(std::string_view deviceId) {
  const auto log = lab::DeviceLog(deviceId);
  for (auto line = log.rbegin(); line != log.rend(); ++line) {
    if (line->hex.rfind("03", 0) == 0 || line->hex.rfind("05", 0) == 0) return line->hex;
  }
  return {};
}

// A device-side reply to inject: opcode, ClientId, DeviceId of the given address.
Bytes Reply(std::uint8_t opcode, const ClientIdBytes& client, std::array<std::uint8_t, 4> address,
            std::size_t length) {
  Bytes bytes(length, 0);
  bytes[0] = opcode;
  std::copy(client.begin(), client.end(), bytes.begin() + 1);
  std::copy(address.begin(), address.end(), bytes.begin() + 17);
  return bytes;
}

Bytes DiscoveryReplyFor(const ClientIdBytes& client, std::array<std::uint8_t, 4> address,
                        std::string_view name) {
  Bytes bytes = Reply(2, client, address, 60);
  bytes[21] = '0';
  std::copy_n("255.255.255.0", 13, bytes.begin() + 24);
  bytes[56] = static_cast<std::uint8_t>(name.size());
  AppendText(bytes, name);
  return bytes;
}

Bytes ReadReplyFor(const ClientIdBytes& client, std::array<std::uint8_t, 4> address,
                   std::string_view value) {
  Bytes bytes = Reply(4, client, address, 28);
  AppendText(bytes, value);
  return bytes;
}

class ProtocolLab : public ::testing::Test {
 protected:
  void SetUp() override {
    session_.SetTraceSink([this](std::string_view line) { trace_.emplace_back(line); });
    session_.OpenTransport();
    ASSERT_TRUE(session_.TransportProblems().empty())
        << session_.TransportProblems().front().message;
  }
  // Whatever a test changed, or left silent when it failed halfway, the next one finds the lab
  // as configured.
  void TearDown() override { EXPECT_TRUE(lab::ResetDevices()); }

  void Search() { session_.SearchDevices(kSearchFilter, kSearchFilter); }

  const DeviceRecord* Find(std::string_view address) const {
    return session_.DeviceTable.FindDeviceByAddress(address);
  }

  void Select(const LabDevice& device) {
    ASSERT_NE(Find(device.address), nullptr) << device.id;
    session_.SelectedAddress.Set(device.address);
  }

  Session session_;
  std::vector<std::string> trace_;
};

TEST_F(ProtocolLab, InterfacesAreTheLabLinksInOrder) {
  ASSERT_EQ(session_.InterfaceCount, 2);
  EXPECT_EQ(session_.InterfaceTable[0].address, kLan1);
  EXPECT_EQ(session_.InterfaceTable[0].name, "lan1");
  EXPECT_EQ(session_.InterfaceTable[1].address, "192.168.60.10");
  EXPECT_EQ(session_.InterfaceTable[1].name, "lan2");
  EXPECT_EQ(
      session_.ClientId[6] | session_.ClientId[7] | session_.ClientId[8] | session_.ClientId[9], 0);
}

TEST_F(ProtocolLab, SearchFindsDevicesOnBothInterfacesOnce) {
  Search();
  std::map<std::string, const DeviceRecord*> found;
  for (const DeviceRecord& r : session_.DeviceTable) {
    EXPECT_TRUE(found.emplace(r.address.str(), &r).second) << "twice: " << r.address.c_str();
  }
  // Multicast on lan1, unicast on lan2, a foreign subnet and an extended reply with codes 6,6.
  ASSERT_TRUE(found.count("192.168.50.21"));
  ASSERT_TRUE(found.count("192.168.60.22"));
  ASSERT_TRUE(found.count("10.99.0.5"));
  ASSERT_TRUE(found.count("192.168.50.25"));
  ASSERT_TRUE(found.count("192.168.50.28"));   // answers both sends, both ways: one record
  EXPECT_FALSE(found.count("192.168.50.26"));  // extended reply with codes 1,2
  EXPECT_FALSE(found.count("192.168.60.29"));  // silent

  const DeviceRecord& nas1 = *found["192.168.50.21"];
  EXPECT_EQ(nas1.name, "NAS-ALDER");
  EXPECT_EQ(nas1.netmask, "255.255.255.0");
  EXPECT_EQ(nas1.gateway, "192.168.50.1");
  EXPECT_EQ(nas1.dhcpFlag, "0");
  EXPECT_EQ(nas1.interfaceIndex, 0);
  EXPECT_THAT(DeviceIdOf(nas1), ElementsAre(0x00, 0x11, 0x22, 0x33, 0x44, 0xa1, 192, 168, 50, 21));

  const DeviceRecord& nas2 = *found["192.168.60.22"];
  EXPECT_EQ(nas2.name, "NAS-BIRCH");
  EXPECT_EQ(nas2.dhcpFlag, "1");
  EXPECT_EQ(nas2.interfaceIndex, 1);
  EXPECT_EQ(found["192.168.50.25"]->name, "NAS-ELDER");
  EXPECT_EQ(found["10.99.0.5"]->interfaceIndex, 0);
}

TEST_F(ProtocolLab, DeviceOnBothSubnetsKeepsTheLowerInterface) {
  Search();
  const DeviceRecord* cedar = Find("192.168.50.23");
  ASSERT_NE(cedar, nullptr);
  EXPECT_EQ(cedar->interfaceIndex, 0);
  EXPECT_EQ(cedar->name, "NAS-CEDAR");
  int cedars = 0;
  for (const DeviceRecord& r : session_.DeviceTable) cedars += r.name == "NAS-CEDAR" ? 1 : 0;
  EXPECT_EQ(cedars, 1);
  // It was asked on both legs.
  std::vector<std::string> legs;
  for (const auto& line : lab::DeviceLog("nas3")) legs.push_back(line.leg);
  std::sort(legs.begin(), legs.end());
  legs.erase(std::unique(legs.begin(), legs.end()), legs.end());
  EXPECT_EQ(legs.size(), 2u);
}

TEST_F(ProtocolLab, DiscoveryRequestIsSentTwiceAsElevenBytes) {
  const std::size_t before = lab::DeviceLog("nas1").size();
  Search();
  Bytes expected{1};
  Append(expected, Bytes(session_.ClientId.begin(), session_.ClientId.end()));
  const auto log = lab::DeviceLog("nas1");
  const long requests = std::count_if(log.begin() + static_cast<long>(before), log.end(),
                                      [&](const auto& line) { return line.hex == Hex(expected); });
  EXPECT_EQ(requests, 2);
}

TEST_F(ProtocolLab, ZeroFiltersTakeEveryExtendedReply) {
  session_.SearchDevices(0, 0);
  EXPECT_NE(Find("192.168.50.26"), nullptr);
  EXPECT_NE(Find("192.168.50.25"), nullptr);
}

TEST_F(ProtocolLab, RepliesOfOtherRunsAndMalformedRepliesAreIgnored) {
  ClientIdBytes foreign = session_.ClientId;
  foreign[5] ^= 0xff;
  // Queued on lan1's receive socket before the search reads it.
  ASSERT_TRUE(
      lab::SendFromDevice("nas1", kLan1, DiscoveryReplyFor(foreign, {192, 168, 50, 99}, "X")));
  Bytes cut = DiscoveryReplyFor(session_.ClientId, {192, 168, 50, 98}, "");
  cut.resize(59);
  ASSERT_TRUE(lab::SendFromDevice("nas1", kLan1, cut));
  Bytes lying = DiscoveryReplyFor(session_.ClientId, {192, 168, 50, 97}, "LIAR");
  lying[56] = 0xff;  // announces a 255-byte name, carries four
  ASSERT_TRUE(lab::SendFromDevice("nas1", kLan1, lying));
  ASSERT_TRUE(lab::SendFromDevice("nas1", kLan1,
                                  DiscoveryReplyFor(session_.ClientId, {192, 168, 50, 96}, "OK")));
  Search();
  EXPECT_EQ(Find("192.168.50.99"), nullptr);
  EXPECT_EQ(Find("192.168.50.98"), nullptr);
  ASSERT_NE(Find("192.168.50.97"), nullptr);
  EXPECT_EQ(Find("192.168.50.97")->name, "LIAR");
  ASSERT_NE(Find("192.168.50.96"), nullptr);
  EXPECT_NE(Find(kNas1.address), nullptr);  // the real devices are still heard
}

TEST_F(ProtocolLab, ReadRequestsCarryExactBytesAndFillTheirTexts) {
  Search();
  Select(kNas1);
  const DeviceRecord& nas1 = *Find(kNas1.address);

  EXPECT_EQ(session_.ReadWorkgroup(), 1);
  EXPECT_EQ(session_.WorkgroupText, "WORKGROUP");
  EXPECT_EQ(LastLogged("nas1"), Hex(ExpectedRead(session_, nas1, 6)));

  EXPECT_EQ(session_.ReadShareList(), 1);
  EXPECT_EQ(LastLogged("nas1"), Hex(ExpectedRead(session_, nas1, 3)));
  std::vector<std::string> shares;
  for (const ShareEntry& e : session_.ShareList) shares.push_back(e.name.str());
  EXPECT_THAT(shares, ElementsAre("HDD_a", "public", "music"));

  EXPECT_EQ(session_.ReadCodepage(), 1);
  EXPECT_EQ(session_.CodepageText, "850");
  EXPECT_EQ(LastLogged("nas1"), Hex(ExpectedRead(session_, nas1, 9)));

  EXPECT_EQ(session_.ReadIdeOk(), 1);
  EXPECT_EQ(session_.IdeOkText, "3");
  EXPECT_EQ(LastLogged("nas1"), Hex(ExpectedRead(session_, nas1, 11)));

  EXPECT_EQ(session_.ReadShareName(), 1);
  EXPECT_EQ(session_.ShareNameText, "HDD_a");
  EXPECT_EQ(LastLogged("nas1"), Hex(ExpectedRead(session_, nas1, 12)));

  EXPECT_THAT(trace_, ElementsAre("workgroup=WORKGROUP\n", "codepage=850\n", "ideok=3\n",
                                  "sharename=HDD_a\n"));
}

TEST_F(ProtocolLab, RequestsReachAUnicastDeviceOnTheSecondInterface) {
  Search();
  Select(kNas2);
  EXPECT_EQ(session_.ReadWorkgroup(), 1);
  EXPECT_EQ(session_.WorkgroupText, "OFFICE");
  EXPECT_EQ(LastLogged("nas2"), Hex(ExpectedRead(session_, *Find(kNas2.address), 6)));
}

TEST_F(ProtocolLab, CredentialsAreCheckedByTheDevice) {
  Search();
  Select(kNas1);
  session_.LoginUserName.Set("admin");
  session_.LoginPassword.Set("vorel");
  EXPECT_NE(session_.CheckCredentials(), 0);
  Bytes payload = {'a', 'd', 'm', 'i', 'n', 0x55, 0xAA, 'v', 'o', 'r', 'e', 'l'};
  EXPECT_EQ(LastLogged("nas1"), Hex(ExpectedRead(session_, *Find(kNas1.address), 4, payload)));

  session_.LoginPassword.Set("wrong");
  EXPECT_EQ(session_.CheckCredentials(), 0);
}

TEST_F(ProtocolLab, SetRequestsCarryExactBytesAndChangeTheDevice) {
  Search();
  Select(kNas1);
  const Bytes id = DeviceIdOf(*Find(kNas1.address));
  session_.NewNetmask.Set("255.255.255.0");
  session_.NewGateway.Set("192.168.50.1");

  session_.HostNameText.Set("NAS-RENAMED");
  EXPECT_EQ(session_.SetHostName(), 1);
  EXPECT_EQ(LastLogged("nas1"), Hex(ExpectedSet(session_, id, 5, "NAS-RENAMED")));
  session_.WorkgroupText.Set("TEAM");
  EXPECT_EQ(session_.SetWorkgroup(), 1);
  EXPECT_EQ(LastLogged("nas1"), Hex(ExpectedSet(session_, id, 7, "TEAM")));
  session_.CodepageText.Set("437");
  EXPECT_EQ(session_.SetCodepage(), 1);
  EXPECT_EQ(LastLogged("nas1"), Hex(ExpectedSet(session_, id, 8, "437")));
  session_.RwText.Set("rw");
  EXPECT_EQ(session_.SendRw(), 1);
  EXPECT_EQ(LastLogged("nas1"), Hex(ExpectedSet(session_, id, 10, "rw")));
  session_.StopText.Set("stop");
  EXPECT_EQ(session_.SendStop(), 1);
  EXPECT_EQ(LastLogged("nas1"), Hex(ExpectedSet(session_, id, 13, "stop")));

  EXPECT_THAT(lab::DeviceState("nas1"), HasSubstr("NAS-RENAMED"));
  session_.WorkgroupText.Clear();
  EXPECT_EQ(session_.ReadWorkgroup(), 1);
  EXPECT_EQ(session_.WorkgroupText, "TEAM");
  Search();
  ASSERT_NE(Find(kNas1.address), nullptr);
  EXPECT_EQ(Find(kNas1.address)->name, "NAS-RENAMED");
}

TEST_F(ProtocolLab, AddressChangeIsFollowedByTheDevice) {
  Search();
  Select(kNas1);
  const int position = [&] {
    int i = 0;
    for (const DeviceRecord& r : session_.DeviceTable) {
      if (r.address == kNas1.address) return i;
      ++i;
    }
    return -1;
  }();
  const Bytes oldId = DeviceIdOf(*Find(kNas1.address));
  session_.NewAddress.Set("192.168.50.31");
  session_.NewNetmask.Set("255.255.255.0");
  session_.NewGateway.Set("192.168.50.1");
  ASSERT_EQ(session_.SetAddress(), 1);
  EXPECT_EQ(LastLogged("nas1"), Hex(ExpectedSet(session_, oldId, 1, "192.168.50.31")));
  EXPECT_EQ(session_.SelectedAddress, "192.168.50.31");
  const DeviceRecord* moved = Find("192.168.50.31");
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(moved->name, "NAS-ALDER");
  EXPECT_EQ(moved->deviceId[9], 31);
  int i = 0;
  for (const DeviceRecord& r : session_.DeviceTable) {
    if (&r == moved) {
      EXPECT_EQ(i, position);
    }
    ++i;
  }

  // The next request reaches the device under its new address.
  session_.WorkgroupText.Clear();
  EXPECT_EQ(session_.ReadWorkgroup(), 1);
  EXPECT_EQ(session_.WorkgroupText, "WORKGROUP");
  EXPECT_EQ(LastLogged("nas1"), Hex(ExpectedRead(session_, *moved, 6)));

  // To DHCP: the device announces where it went.
  const Bytes movedId = DeviceIdOf(*moved);
  ASSERT_EQ(session_.SetDhcp(), 1);
  EXPECT_EQ(LastLogged("nas1"), Hex(ExpectedSet(session_, movedId, 2, "", false)));
  EXPECT_EQ(session_.SelectedAddress, "192.168.50.121");
  ASSERT_NE(Find("192.168.50.121"), nullptr);
  EXPECT_EQ(session_.ReadCodepage(), 1);

  // And back to where it started.
  session_.NewAddress.Set(kNas1.address);
  ASSERT_EQ(session_.SetAddress(), 1);
  Search();
  EXPECT_NE(Find(kNas1.address), nullptr);
  EXPECT_EQ(Find("192.168.50.31"), nullptr);
}

TEST_F(ProtocolLab, DrainDiscardsLateRepliesQueuedBeforeARead) {
  Search();
  Select(kNas1);
  const std::array<std::uint8_t, 4> nas1 = {192, 168, 50, 21};
  for (int i = 0; i < 6; ++i) {
    ASSERT_TRUE(lab::SendFromDevice("nas1", kLan1, ReadReplyFor(session_.ClientId, nas1, "STALE")));
  }
  EXPECT_EQ(session_.ReadWorkgroup(), 1);
  EXPECT_EQ(session_.WorkgroupText, "WORKGROUP");

  // Six are drained; a seventh late reply is taken as the answer, as there is nothing else to
  // tell them apart.
  for (int i = 0; i < 7; ++i) {
    ASSERT_TRUE(lab::SendFromDevice("nas1", kLan1, ReadReplyFor(session_.ClientId, nas1, "STALE")));
  }
  EXPECT_EQ(session_.ReadWorkgroup(), 1);
  EXPECT_EQ(session_.WorkgroupText, "STALE");
}

TEST_F(ProtocolLab, SilencedDeviceMakesRequestsFail) {
  Search();
  Select(kNas1);
  session_.WorkgroupText.Set("before");
  ASSERT_EQ(lab::LabCommand({"silence", "nas1", "on"}), 0);
  const std::size_t before = lab::DeviceLog("nas1").size();
  EXPECT_EQ(session_.ReadWorkgroup(), 0);
  EXPECT_EQ(session_.WorkgroupText, "before");
  EXPECT_EQ(session_.SendRw(), 0);
  EXPECT_EQ(lab::DeviceLog("nas1").size(), before + 2);  // heard, not answered
  EXPECT_EQ(LastLogged("nas1").substr(0, 2), "05");
  ASSERT_EQ(lab::LabCommand({"silence", "nas1", "off"}), 0);
  EXPECT_EQ(session_.ReadWorkgroup(), 1);
}

// Any host on the network can send datagrams with other opcodes; none of them counts as a poll,
// so without a time limit a steady stream would hold a read for as long as it lasts.
TEST_F(ProtocolLab, AFloodOfOtherOpcodesCannotHoldARead) {
  Search();
  Select(kNas1);
  ASSERT_EQ(lab::LabCommand({"silence", "nas1", "on"}), 0);
  const char* flood =
      "import socket, sys, time\n"
      "s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)\n"
      "s.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_IF, socket.inet_aton(sys.argv[1]))\n"
      "end = time.monotonic() + 60\n"
      "while time.monotonic() < end:\n"
      "    s.sendto(bytes([9]) + bytes(27), ('224.0.0.1', 13579))\n"
      "    time.sleep(0.002)\n";
  const pid_t flooder =
      lab::StartInDevice("nas6", {"/usr/bin/python3", "-c", flood, "192.168.50.26"});
  ASSERT_GT(flooder, 0);
  const auto start = std::chrono::steady_clock::now();
  const int result = session_.ReadWorkgroup();
  const auto took = std::chrono::steady_clock::now() - start;
  lab::StopProcess(flooder);
  ASSERT_EQ(lab::LabCommand({"silence", "nas1", "off"}), 0);
  EXPECT_EQ(result, 0);
  // A read waits about 1.2 s for no answer; the flood would last a minute.
  EXPECT_LT(took, std::chrono::seconds(10));
}

TEST_F(ProtocolLab, SlowDeviceIsAnsweredWithinTheLongerWait) {
  // The device answers after 1.5 s: too late for a search, in time for a limit of 20 polls.
  session_.DeviceTable.AddDevice("NAS-GORSE", "192.168.60.27", "", "", "0",
                                 {0x00, 0x11, 0x22, 0x33, 0x44, 0xa7, 192, 168, 60, 27}, 1);
  session_.SelectedAddress.Set("192.168.60.27");
  EXPECT_EQ(session_.ReadIdeOk(), 1);
  EXPECT_EQ(session_.IdeOkText, "3");
}

TEST(ProtocolLabTransport, PortHeldByAnotherProgramIsReported) {
  const int holder = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in any{};
  any.sin_family = AF_INET;
  any.sin_port = htons(kDevicePort);
  ASSERT_EQ(::bind(holder, reinterpret_cast<const sockaddr*>(&any), sizeof any), 0);
  Session session;
  session.OpenTransport();
  ::close(holder);
  ASSERT_EQ(session.TransportProblems().size(), 2u);
  for (const TransportProblem& problem : session.TransportProblems()) {
    EXPECT_EQ(problem.error, EADDRINUSE);
    EXPECT_THAT(problem.message, HasSubstr("13579"));
    EXPECT_THAT(problem.message, HasSubstr(problem.interfaceName));
  }
}

// A second finder on the PC, bound to lan2 as this program binds: both hear multicast, but a
// reply sent straight to the PC's address reaches only one of them.
TEST(ProtocolLabTransport, AnotherListenerOnThePortIsNamedAndTakesUnicastRepliesFromUs) {
  const std::string heard = std::string(std::getenv("CORVANE_LAB_DIR")) + "/other-listener.txt";
  const char* listener =
      "import socket, sys\n"
      "s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)\n"
      "s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)\n"
      "s.setsockopt(socket.SOL_SOCKET, socket.SO_BINDTODEVICE, b'lan2')\n"
      "s.bind(('0.0.0.0', 13579))\n"
      "out = open(sys.argv[1], 'w', buffering=1)\n"
      "out.write('ready\\n')\n"
      "while True:\n"
      "    out.write(s.recv(4096).hex() + '\\n')\n";
  const pid_t other = lab::StartProcess({"/usr/bin/python3", "-c", listener, heard});
  ASSERT_GT(other, 0);
  for (int i = 0; i < 500 && ReadFile(heard).empty(); ++i) ::usleep(10000);

  Session session;
  session.OpenTransport();
  session.SearchDevices(kSearchFilter, kSearchFilter);
  ::usleep(100000);  // the listener writes what it got
  const std::string otherGot = ReadFile(heard);
  lab::StopProcess(other);

  ASSERT_EQ(session.TransportProblems().size(), 1u);
  EXPECT_THAT(session.TransportProblems()[0].message,
              HasSubstr("Another program also listens on UDP port 13579 (python3, pid " +
                        std::to_string(other) + ")"));
  // Multicast replies reach both; nas2 answers by unicast, and its reply reached exactly one.
  const std::string nas2Reply =
      "02" + Hex(Bytes(session.ClientId.begin(), session.ClientId.end())) + Hex(kNas2.deviceId);
  const bool weGotIt = session.DeviceTable.FindDeviceByAddress(kNas2.address) != nullptr;
  const bool otherGotIt = otherGot.find("\n" + nas2Reply) != std::string::npos;
  EXPECT_NE(weGotIt, otherGotIt) << otherGot;
}

TEST(ProtocolLabTransport, NoInterfacesIsReported) {
  Session session;
  session.OpenTransport({});
  ASSERT_EQ(session.TransportProblems().size(), 1u);
  session.SearchDevices(kSearchFilter, kSearchFilter);
  EXPECT_EQ(session.DeviceTable.count(), 0);
}

}  // namespace
}  // namespace corvane::protocol
