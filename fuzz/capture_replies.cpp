// SPDX-License-Identifier: GPL-3.0-or-later
// Fills the fuzz targets' seed corpora with what real devices send: run in a lab whose devices
// answer, it searches, asks every device every read item (and "rw" and "stop"), and writes each
// datagram that came back, as the target that reads it takes its input.
//   tools/lab/lab.sh run tools/lab/configs/standard.json -- build-fuzz/fuzz/capture_replies
//   fuzz/corpus
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/local_interfaces.h"
#include "protocol/client_id.h"
#include "protocol/message.h"
#include "protocol/session.h"
#include "protocol/udp_transport.h"

namespace {

namespace fs = std::filesystem;
using namespace corvane::protocol;
using Bytes = std::vector<std::uint8_t>;

// The real sockets, keeping every datagram they read.
class RecordingIo : public ExchangeIo {
 public:
  explicit RecordingIo(UdpTransport& transport) : transport_(transport) {}

  void Send(int interfaceIndex, std::span<const std::uint8_t> bytes) override {
    transport_.Send(interfaceIndex, bytes);
  }
  PollOutcome Poll(int interfaceIndex, ReceiveBuffer& buffer) override {
    const PollOutcome outcome = transport_.Poll(interfaceIndex, buffer);
    if (outcome == PollOutcome::kDatagram) Keep(buffer);
    return outcome;
  }
  void PollTogether(std::span<InterfacePoll> polls) override {
    transport_.PollTogether(polls);
    for (const InterfacePoll& poll : polls) {
      if (poll.outcome == PollOutcome::kDatagram) Keep(poll.buffer);
    }
  }
  void Sleep(std::chrono::milliseconds duration) override { std::this_thread::sleep_for(duration); }
  std::chrono::steady_clock::time_point Now() override { return std::chrono::steady_clock::now(); }

  const std::vector<Bytes>& datagrams() const { return datagrams_; }

 private:
  void Keep(const ReceiveBuffer& buffer) {
    const auto bytes = buffer.datagram();
    datagrams_.emplace_back(bytes.begin(), bytes.end());
  }

  UdpTransport& transport_;
  std::vector<Bytes> datagrams_;
};

void Write(const fs::path& file, const Bytes& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

// fuzz_reply_acceptance reads [length / 4][bytes padded to length] again and again.
void AppendFramed(Bytes& stream, const Bytes& datagram) {
  const std::size_t quarters = (datagram.size() + 3) / 4;
  stream.push_back(static_cast<std::uint8_t>(quarters));
  stream.insert(stream.end(), datagram.begin(), datagram.end());
  stream.resize(stream.size() + quarters * 4 - datagram.size(), 0);
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path corpus = argc > 1 ? argv[1] : "fuzz/corpus";
  const std::vector<corvane::platform::LocalInterface> interfaces =
      corvane::platform::ListLocalInterfaces();
  UdpTransport transport;
  transport.Open(interfaces);
  RecordingIo io(transport);
  Session session(io);
  session.InterfaceCount = static_cast<int>(std::min<std::size_t>(interfaces.size(), 8));
  session.ClientId = DrawClientId();
  session.SetTraceSink([](std::string_view) {});
  session.SearchDevices(kSearchFilter, kSearchFilter);
  std::vector<std::string> addresses;
  for (const DeviceRecord& record : session.DeviceTable) addresses.push_back(record.address.str());
  for (const std::string& address : addresses) {
    session.SelectedAddress.Set(address);
    session.ReadWorkgroup();
    session.ReadShareList();
    session.ReadCodepage();
    session.ReadIdeOk();
    session.ReadShareName();
    session.LoginUserName.Set("admin");
    session.LoginPassword.Set("vorel");
    session.AnswerCredentials();
    session.RwText.Set("rw");
    session.SendRw();
    session.StopText.Set("stop");
    session.SendStop();
  }

  std::map<std::string, int> counts;
  std::set<Bytes> written;  // a reply heard twice (on two interfaces, or twice over) seeds once
  Bytes stream;
  for (const Bytes& datagram : io.datagrams()) {
    if (datagram.empty() || !written.insert(datagram).second) continue;
    const bool discovery = datagram[0] == 2 || datagram[0] == 7;
    const std::string target = discovery ? "fuzz_discovery_reply" : "fuzz_read_reply";
    Write(corpus / target / ("device-" + std::to_string(++counts[target])), datagram);
    AppendFramed(stream, datagram);
    if (!discovery && datagram.size() > kItemOffset && datagram[kItemOffset] == kItemShareList) {
      const std::string_view value = ReadReplyValue(datagram);
      Write(corpus / "fuzz_share_list" / ("device-" + std::to_string(++counts["shares"])),
            Bytes(value.begin(), value.end()));
    }
  }
  Write(corpus / "fuzz_reply_acceptance" / "devices", stream);
  std::printf("%zu devices, %zu datagrams\n", addresses.size(), io.datagrams().size());
  return addresses.empty() ? 1 : 0;
}
