// SPDX-License-Identifier: GPL-3.0-or-later
// The command line against simulated devices in the virtual network (standard lab): commands
// run in-process with in-memory output and a scripted terminal, and the real executable where the
// process itself matters.
#include <fcntl.h>
#include <netinet/in.h>
#include <sched.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <future>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli_run.h"
#include "support/lab_support.h"

namespace {

using corvane::cli::testing::CliRun;
using corvane::cli::testing::Describe;
using corvane::cli::testing::RunInProcess;
using corvane::lab::Environment;
using nlohmann::json;
using ::testing::HasSubstr;
using ::testing::Not;

std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

int TemporaryFile(std::string& path) {
  std::string pattern = "/tmp/corvane-cli-test-XXXXXX";
  const int fd = mkstemp(pattern.data());
  path = pattern;
  return fd;
}

// A file of the test's own with this text and mode; removed with the object.
class TestFile {
 public:
  TestFile(const std::string& text, mode_t mode) {
    const int fd = TemporaryFile(path_);
    EXPECT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    fchmod(fd, mode);
    close(fd);
  }
  ~TestFile() { unlink(path_.c_str()); }
  TestFile(const TestFile&) = delete;
  TestFile& operator=(const TestFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

struct BinaryOptions {
  std::string standardInput;  // what the program reads on stdin (it never has a terminal)
  std::string home;           // HOME, and every XDG folder below it, when not empty
  bool ownNetwork = false;    // a network namespace of its own: no interface at all
};

void EnterChildSurroundings(const BinaryOptions& options, int inputFd) {
  dup2(inputFd, STDIN_FILENO);
  if (!options.home.empty()) {
    setenv("HOME", options.home.c_str(), 1);
    setenv("TMPDIR", options.home.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", options.home.c_str(), 1);
    for (const char* name :
         {"XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"}) {
      unsetenv(name);
    }
  }
  if (options.ownNetwork && unshare(CLONE_NEWNET) != 0) _exit(126);
}

// Runs the real binary; stdin holds options.standardInput, so it can never prompt.
CliRun RunBinary(const std::vector<std::string>& args, const BinaryOptions& options = {}) {
  const std::string binary = Environment("CORVANE_CLI");
  std::string outPath;
  std::string errPath;
  const int outFd = TemporaryFile(outPath);
  const int errFd = TemporaryFile(errPath);
  const TestFile input(options.standardInput, 0600);
  const int inputFd = open(input.path().c_str(), O_RDONLY);
  CliRun run;
  const pid_t child = fork();
  if (child == 0) {
    EnterChildSurroundings(options, inputFd);
    dup2(outFd, STDOUT_FILENO);
    dup2(errFd, STDERR_FILENO);
    std::vector<char*> argv = {const_cast<char*>(binary.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  close(inputFd);
  close(outFd);
  close(errFd);
  run.out = ReadWholeFile(outPath);
  run.err = ReadWholeFile(errPath);
  unlink(outPath.c_str());
  unlink(errPath.c_str());
  return run;
}

std::string DevicesDir() {
  return Environment("CORVANE_LAB_DIR") + "/devices/";
}

json DeviceState(const std::string& id) {
  return json::parse(ReadWholeFile(DevicesDir() + id + ".state.json"));
}

// Requests with the given opcode (first byte), and item when given, addressed to the device (its
// DeviceId in bytes 11-16). Every device on a bridge hears every multicast request, so the
// address counts.
int RequestsTo(const std::string& id, const std::string& opcodeHex, const std::string& deviceId,
               const std::string& itemHex = "") {
  std::istringstream log(ReadWholeFile(DevicesDir() + id + ".log"));
  int count = 0;
  for (std::string leg, hex; log >> leg >> hex;) {
    if (hex.size() < 44) continue;
    if (hex.rfind(opcodeHex, 0) == 0 && hex.compare(22, deviceId.size(), deviceId) == 0 &&
        (itemHex.empty() || hex.compare(42, 2, itemHex) == 0)) {
      ++count;
    }
  }
  return count;
}

// Discovery requests the device heard: a search, whatever its answer.
int Discoveries(const std::string& id) {
  std::istringstream log(ReadWholeFile(DevicesDir() + id + ".log"));
  int count = 0;
  for (std::string leg, hex; log >> leg >> hex;) count += hex.rfind("01", 0) == 0 ? 1 : 0;
  return count;
}

// nas10 handles each request 600 ms after it came. A command runs on another thread, and as
// soon as nas10 has received the request that matches, it falls silent, so that request stays
// unanswered and has no effect; then meanwhile runs.
CliRun RunWhileNas10FallsSilentAt(const std::vector<std::string>& args,
                                  const std::string& opcodeHex, const std::string& itemHex,
                                  const std::function<void()>& meanwhile = {}) {
  const std::string id = "nas10";
  const std::string deviceId = "0011223344aa";
  const int before = RequestsTo(id, opcodeHex, deviceId, itemHex);
  const pid_t device = std::stoi(ReadWholeFile(DevicesDir() + id + ".ready"));
  std::future<CliRun> running =
      std::async(std::launch::async, [&args] { return RunInProcess(args); });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (RequestsTo(id, opcodeHex, deviceId, itemHex) == before &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  kill(device, SIGUSR1);  // what 'lab.sh silence nas10 on' sends, without its start-up time
  if (meanwhile) meanwhile();
  return running.get();
}

// Every file below folder whose bytes hold text.
std::vector<std::string> FilesHolding(const std::string& folder, const std::string& text) {
  std::vector<std::string> holders;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    if (ReadWholeFile(entry.path()).find(text) != std::string::npos) {
      holders.push_back(entry.path());
    }
  }
  return holders;
}

const json* FindByAddress(const json& devices, const std::string& address) {
  for (const json& device : devices) {
    if (device["address"] == address) return &device;
  }
  return nullptr;
}

class CliLab : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(Environment("CORVANE_CLI").empty()) << "CORVANE_CLI names the binary";
    ASSERT_FALSE(Environment("CORVANE_LAB_DIR").empty()) << "must run inside the lab";
  }
  // Every test finds the lab as configured, whatever the one before changed or left behind.
  void TearDown() override { EXPECT_TRUE(corvane::lab::ResetDevices()); }
};

TEST_F(CliLab, SearchJsonListsTheAnsweringDevicesWithTheirInterface) {
  const CliRun run = RunBinary({"search", "--json"});
  ASSERT_EQ(run.status, 0) << Describe(run);
  const json devices = json::parse(run.out);
  ASSERT_TRUE(devices.is_array());

  const json* alder = FindByAddress(devices, "192.168.50.21");
  ASSERT_NE(alder, nullptr) << run.out;
  EXPECT_EQ((*alder)["name"], "NAS-ALDER");
  EXPECT_EQ((*alder)["netmask"], "255.255.255.0");
  EXPECT_EQ((*alder)["gateway"], "192.168.50.1");
  EXPECT_EQ((*alder)["dhcp"], false);
  EXPECT_EQ((*alder)["interface"], "192.168.50.10");
  EXPECT_EQ(alder->size(), 6u);

  const json* birch = FindByAddress(devices, "192.168.60.22");
  ASSERT_NE(birch, nullptr) << "unicast replies are heard too:\n" << run.out;
  EXPECT_EQ((*birch)["dhcp"], true);
  EXPECT_EQ((*birch)["interface"], "192.168.60.10");

  const json* foreign = FindByAddress(devices, "10.99.0.5");
  ASSERT_NE(foreign, nullptr) << "a device on a foreign subnet is listed:\n" << run.out;
  EXPECT_EQ((*foreign)["interface"], "192.168.50.10");

  EXPECT_NE(FindByAddress(devices, "192.168.50.25"), nullptr) << "opcode 7 with codes 6,6";
  EXPECT_EQ(FindByAddress(devices, "192.168.50.26"), nullptr) << "opcode 7 with other codes";
  EXPECT_EQ(FindByAddress(devices, "192.168.60.29"), nullptr) << "the silent device";
  EXPECT_THAT(run.err, Not(HasSubstr("firewall")));
}

TEST_F(CliLab, SearchTableHasOneRowPerDevice) {
  const CliRun run = RunInProcess({"search"});
  ASSERT_EQ(run.status, 0) << Describe(run);
  EXPECT_THAT(run.out, testing::StartsWith("Name "));
  EXPECT_THAT(run.out, HasSubstr("NAS-ALDER"));
  EXPECT_THAT(run.out, HasSubstr("192.168.50.10 (lan1)"));
  EXPECT_THAT(run.out, HasSubstr("192.168.60.10 (lan2)"));
}

TEST_F(CliLab, InfoShowsWorkgroupAndSharesAndKeepsJsonClean) {
  const CliRun run = RunInProcess({"info", "192.168.50.21", "--json"});
  ASSERT_EQ(run.status, 0) << Describe(run);
  const json details = json::parse(run.out);  // no trace line may spoil it
  EXPECT_EQ(details["name"], "NAS-ALDER");
  EXPECT_EQ(details["workgroup"], "WORKGROUP");
  ASSERT_TRUE(details["shares"].is_array());
  std::vector<std::string> shares = details["shares"].get<std::vector<std::string>>();
  EXPECT_THAT(shares, testing::IsSupersetOf({"HDD_a", "public", "music"}));
  EXPECT_THAT(run.err, Not(HasSubstr("workgroup=")));

  const CliRun text = RunInProcess({"info", "192.168.60.22", "--verbose"});
  ASSERT_EQ(text.status, 0) << Describe(text);
  EXPECT_THAT(text.out, HasSubstr("Workgroup: OFFICE"));
  EXPECT_THAT(text.out, HasSubstr("Shares:    HDD_1"));
  EXPECT_THAT(text.out, HasSubstr("backup"));
  EXPECT_THAT(text.out, Not(HasSubstr("workgroup=")));
  EXPECT_THAT(text.err, HasSubstr("workgroup=OFFICE\n")) << "a trace line ends its line";
}

TEST_F(CliLab, UnknownOrSilentAddressGivesStatusThree) {
  for (const char* address : {"192.168.50.99", "192.168.60.29"}) {
    const CliRun run = RunInProcess({"info", address});
    EXPECT_EQ(run.status, 3) << Describe(run);
    EXPECT_THAT(run.err, HasSubstr(std::string("no device answered at ") + address));
    EXPECT_EQ(run.out, "");
  }
  // NAS-DAMSON answers from another subnet: only its LAN settings are within reach.
  const CliRun outside = RunInProcess({"set-language", "10.99.0.5", "cyrillic"});
  EXPECT_EQ(outside.status, 1) << Describe(outside);
  EXPECT_THAT(outside.err, HasSubstr("outside the local subnet"));
}

TEST_F(CliLab, UsageErrorsGiveStatusTwoAndSendNothing) {
  const int setsBefore = RequestsTo("nas1", "05", "0011223344a1");
  const int readsBefore = RequestsTo("nas1", "03", "0011223344a1");
  const int searchesBefore = Discoveries("nas1");
  const TestFile readableByOthers("vorel\n", 0640);
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const std::string notAnAddress = "not a device address (four numbers 0-255 separated by dots): ";
  const Case cases[] = {
      {{}, "no command given"},
      {{"info", "nas1"}, notAnAddress + "nas1"},
      {{"info", "4294967297"}, notAnAddress + "4294967297"},
      {{"set-dhcp", "08.1.1.1"}, notAnAddress + "08.1.1.1"},
      {{"set-static", "192.168.50.21", "--netmask", "255.255.255.0", "--gateway", "192.168.50.1"},
       "--ip is required"},
      {{"set-dhcp", "192.168.50.21", "--password-file", readableByOthers.path()},
       "permissions 0640 are too open"},
      {{"set-dhcp", "192.168.50.21", "--password-file", "/tmp"}, "/tmp: not a regular file"},
      {{"set-dhcp", "192.168.50.21", "--password=vorel", "--password-file", "-"},
       "--password and --password-file cannot be used together"},
      {{"set-static", "192.168.50.21", "--ip", "192.168.50.0", "--netmask", "255.255.255.0",
        "--gateway", "192.168.50.1"},
       "Invalid IP address in 4th digit. It should be 1-254."},
      {{"set-static", "192.168.50.21", "--ip", "192.168.50.30", "--netmask", "255.255.255.0",
        "--gateway", "192.168.50.255"},
       "Invalid gateway IP address in 4th digit. It should be 1-254."},
      {{"set-static", "192.168.50.21", "--ip", "192.168.50.30", "--netmask", "255.255.255.0",
        "--gateway", "192.168.51.1"},
       "Gateway address input error!"},
      {{"set-dhcp", "192.168.50.21", "--password", "seventeen-letters"}, "at most 16 characters"},
      {{"set-names", "192.168.50.21", "--host-name", "NAS ALDER", "--workgroup", "WG"},
       "The Host Name format is not correct. Can not include \\ /:*?\"< >|.;+=~'[ ]{} @ # "
       "()!'^$% & ,"},
      {{"set-names", "192.168.50.21", "--host-name", "it's", "--workgroup", "WG"}, "()!'^$% &\n"},
      {{"set-names", "192.168.50.21", "--host-name", "NEW-NAME", "--workgroup", "MY.GROUP"},
       "The Workgroup format is not correct. Can not include \\ /:*?\"< >|.;+=~'[ ]{} ,"},
      {{"set-names", "192.168.50.21", "--host-name", "NEW-NAME", "--workgroup", ""},
       "The Workgroup cannot be empty!"},
  };
  for (const Case& c : cases) {
    const CliRun run = RunInProcess(c.args);
    EXPECT_EQ(run.status, 2) << Describe(run);
    EXPECT_THAT(run.err, HasSubstr(c.message)) << Describe(run);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\r'), 0);
  }
  // A refused workgroup must not leave a new host name behind.
  EXPECT_EQ(RequestsTo("nas1", "05", "0011223344a1"), setsBefore);
  EXPECT_EQ(RequestsTo("nas1", "03", "0011223344a1"), readsBefore);
  EXPECT_EQ(Discoveries("nas1"), searchesBefore) << "not even a search";
  EXPECT_EQ(DeviceState("nas1")["name"], "NAS-ALDER");
}

// Two devices on one address: refused after the search, before the password check.
TEST_F(CliLab, TheAddressOfAnotherDeviceIsRefusedBeforeAnythingIsSent) {
  const int readsBefore = RequestsTo("nas1", "03", "0011223344a1");
  const CliRun run = RunInProcess({"set-static", "192.168.50.21", "--ip", "192.168.50.23",
                                   "--netmask", "255.255.255.0", "--gateway", "192.168.50.1"});
  EXPECT_EQ(run.status, 2) << Describe(run);
  EXPECT_THAT(run.err, HasSubstr("192.168.50.23 is the address of another device that answers "
                                 "(NAS-CEDAR)"));
  EXPECT_EQ(RequestsTo("nas1", "03", "0011223344a1"), readsBefore);
  EXPECT_EQ(DeviceState("nas1")["address"], "192.168.50.21");
}

// The set request goes unanswered, and by the new search another device (nas9, silent through
// the first search) answers at the new address: that is no success.
TEST_F(CliLab, AnotherDeviceAtTheNewAddressIsNoSuccess) {
  const CliRun run = RunWhileNas10FallsSilentAt(
      {"set-static", "192.168.60.30", "--ip", "192.168.60.29", "--netmask", "255.255.255.0",
       "--gateway", "192.168.60.1"},
      "05", "01", [] {
        EXPECT_EQ(corvane::lab::LabCommand({"silence", "nas9", "off"}), 0);
      });
  EXPECT_EQ(run.status, 1) << Describe(run);
  EXPECT_THAT(run.err, HasSubstr("the device did not confirm the new address 192.168.60.29"));
  EXPECT_THAT(run.err, HasSubstr("another device (NAS-IVY) answers at 192.168.60.29"));
  EXPECT_THAT(run.out, Not(HasSubstr("now answers")));
}

TEST_F(CliLab, HelpForEveryCommand) {
  for (const char* command : {"search", "info", "set-dhcp", "set-static", "set-names"}) {
    const CliRun run = RunInProcess({command, "--help"});
    EXPECT_EQ(run.status, 0) << Describe(run);
    EXPECT_THAT(run.out, testing::StartsWith(std::string("Usage: corvane ") + command));
  }
  const CliRun overview = RunInProcess({"--help"});
  EXPECT_EQ(overview.status, 0);
  EXPECT_THAT(overview.out, HasSubstr("13579"));
}

TEST_F(CliLab, SetDhcpWithTheDefaultPassword) {
  const CliRun run = RunInProcess({"set-dhcp", "192.168.50.25"});
  ASSERT_EQ(run.status, 0) << Describe(run);
  EXPECT_THAT(run.out, HasSubstr("Set to dhcp client done!"));
  EXPECT_THAT(run.out, HasSubstr("now answers at 192.168.50.125"));
  const json state = DeviceState("nas5");
  EXPECT_EQ(state["dhcp"], true);
  EXPECT_EQ(state["address"], "192.168.50.125");
}

TEST_F(CliLab, SetStaticWithTheDefaultPassword) {
  const CliRun run = RunInProcess({"set-static", "192.168.60.22", "--ip", "192.168.60.42",
                                   "--netmask", "255.255.255.0", "--gateway", "192.168.60.1"});
  ASSERT_EQ(run.status, 0) << Describe(run);
  EXPECT_THAT(run.out, HasSubstr("NAS-BIRCH now answers at 192.168.60.42"));
  const json state = DeviceState("nas2");
  EXPECT_EQ(state["address"], "192.168.60.42");
  EXPECT_EQ(state["dhcp"], false);

  const CliRun after = RunInProcess({"info", "192.168.60.42", "--json"});
  ASSERT_EQ(after.status, 0) << Describe(after);
  EXPECT_EQ(json::parse(after.out)["dhcp"], false);
}

// The executable itself, with no terminal to ask on: without a password, the default pair is
// tried once and the user told how to give one.
TEST_F(CliLab, WrongOrMissingPasswordIsRefusedAndChangesNothing) {
  const int setsBefore = RequestsTo("nas8", "05", "0011223344a8");
  const CliRun wrong = RunBinary({"set-dhcp", "192.168.50.28", "--password", "wrong"});
  EXPECT_EQ(wrong.status, 1) << Describe(wrong);
  EXPECT_THAT(wrong.err, HasSubstr("Wrong administrator password input!"));

  const int checksBefore = RequestsTo("nas8", "03", "0011223344a8", "04");
  const CliRun missing = RunBinary({"set-dhcp", "192.168.50.28"});
  EXPECT_EQ(missing.status, 1) << Describe(missing);
  EXPECT_THAT(missing.err, HasSubstr("the device refused its default administrator password; "
                                     "give its password with --password-file FILE"));
  EXPECT_EQ(RequestsTo("nas8", "03", "0011223344a8", "04"), checksBefore + 1);
  EXPECT_EQ(RequestsTo("nas8", "05", "0011223344a8"), setsBefore)
      << "no set request may follow a refusal";
  const json state = DeviceState("nas8");
  EXPECT_EQ(state["dhcp"], false);
  EXPECT_EQ(state["address"], "192.168.50.28");
}

// This device answers every request twice (multicast and unicast), so the second credentials
// check must not take the leftover copy of the first refusal for its answer.
TEST_F(CliLab, SecondPasswordOpensTheDevice) {
  const CliRun run =
      RunInProcess({"set-static", "192.168.50.28", "--ip", "192.168.50.88", "--netmask",
                    "255.255.255.0", "--gateway", "192.168.50.1", "--password", "hazel-secret"});
  ASSERT_EQ(run.status, 0) << Describe(run);
  EXPECT_THAT(run.out, HasSubstr("NAS-HAZEL now answers at 192.168.50.88"));
  EXPECT_EQ(DeviceState("nas8")["address"], "192.168.50.88");

  const CliRun dhcp = RunInProcess({"set-dhcp", "192.168.50.88", "--password=hazel-secret"});
  ASSERT_EQ(dhcp.status, 0) << Describe(dhcp);
  EXPECT_THAT(dhcp.out, HasSubstr("now answers at 192.168.50.128"));
  EXPECT_EQ(DeviceState("nas8")["dhcp"], true);
}

TEST_F(CliLab, ThePasswordIsAskedForOnceWhenNoneWasGiven) {
  const std::string prompt = "Administrator password for 192.168.50.28: ";
  const int setsBefore = RequestsTo("nas8", "05", "0011223344a8");
  const CliRun unanswered = RunInProcess({"set-dhcp", "192.168.50.28"}, {std::nullopt});
  EXPECT_EQ(unanswered.status, 1) << Describe(unanswered);
  EXPECT_EQ(unanswered.prompts, std::vector<std::string>{prompt});
  EXPECT_THAT(unanswered.err, HasSubstr("refused its default administrator password"));

  const CliRun tooLong = RunInProcess({"set-dhcp", "192.168.50.28"}, {std::string(17, 'h')});
  EXPECT_EQ(tooLong.status, 2) << Describe(tooLong);
  EXPECT_THAT(tooLong.err, HasSubstr("at most 16 characters"));
  EXPECT_EQ(RequestsTo("nas8", "05", "0011223344a8"), setsBefore);
  EXPECT_EQ(DeviceState("nas8")["dhcp"], false);

  const CliRun answered = RunInProcess({"set-dhcp", "192.168.50.28"}, {"hazel-secret"});
  ASSERT_EQ(answered.status, 0) << Describe(answered);
  EXPECT_EQ(answered.prompts, std::vector<std::string>{prompt});
  EXPECT_THAT(answered.out, HasSubstr("Set to dhcp client done!"));
  EXPECT_EQ(DeviceState("nas8")["dhcp"], true);
}

TEST_F(CliLab, ADeviceThatDoesNotAnswerThePasswordCheckIsNotCalledWrong) {
  const CliRun run = RunWhileNas10FallsSilentAt({"set-dhcp", "192.168.60.30"}, "03", "04");
  EXPECT_EQ(run.status, 1) << Describe(run);
  EXPECT_THAT(run.err, HasSubstr("the device did not answer the administrator password check"));
  EXPECT_THAT(run.err, Not(HasSubstr("Wrong administrator password")));
}

// From a file and from standard input the password reaches the device, and nothing corvane
// writes holds it: output, --verbose trace, messages, its files (run with a HOME of its own).
// The drive-letter state file is to be written below HOME too; one written elsewhere joins the
// folders searched here.
TEST_F(CliLab, APasswordFromAFileOrStandardInputReachesTheDeviceAndNowhereElse) {
  const std::string secret = "hazel-secret";
  const std::string wrongOne = "not-hazel-quiz";
  const TestFile right(secret + "\n", 0600);
  const TestFile wrong(wrongOne + "\n", 0400);
  const std::filesystem::path home = std::filesystem::temp_directory_path() / "corvane-cli-home";
  std::filesystem::remove_all(home);
  std::filesystem::create_directories(home);
  const BinaryOptions withHome{"", home, false};
  const BinaryOptions fromInput{secret + "\r\n", home, false};

  const CliRun refused = RunBinary(
      {"set-dhcp", "192.168.50.28", "--verbose", "--password-file", wrong.path()}, withHome);
  EXPECT_EQ(refused.status, 1) << Describe(refused);
  EXPECT_THAT(refused.err, HasSubstr("password from --password-file: refused"));
  const CliRun moved =
      RunBinary({"set-static", "192.168.50.28", "--ip", "192.168.50.88", "--netmask",
                 "255.255.255.0", "--gateway", "192.168.50.1", "--password-file", "-", "--verbose"},
                fromInput);
  EXPECT_EQ(moved.status, 0) << Describe(moved);
  EXPECT_THAT(moved.err, HasSubstr("password from standard input: accepted"));
  const CliRun dhcp = RunBinary(
      {"set-dhcp", "192.168.50.88", "--password-file=" + right.path(), "--verbose"}, withHome);
  EXPECT_EQ(dhcp.status, 0) << Describe(dhcp);
  EXPECT_EQ(DeviceState("nas8")["dhcp"], true);

  const std::string credentials = corvane::lab::Hex({'a', 'd', 'm', 'i', 'n', 0x55, 0xAA}) +
                                  corvane::lab::Hex({secret.begin(), secret.end()});
  const std::string log = ReadWholeFile(DevicesDir() + "nas8.log");
  const std::size_t first = log.find(credentials);
  ASSERT_NE(first, std::string::npos) << "the device got it";
  EXPECT_NE(log.find(credentials, first + 1), std::string::npos) << "both times";
  for (const std::string& password : {secret, wrongOne}) {
    for (const CliRun* run : {&refused, &moved, &dhcp}) {
      EXPECT_THAT(run->out + run->err, Not(HasSubstr(password)));
    }
    EXPECT_THAT(FilesHolding(DevicesDir(), password), testing::IsEmpty());
    EXPECT_THAT(FilesHolding(home, password), testing::IsEmpty());
  }
  std::filesystem::remove_all(home);
}

TEST_F(CliLab, SearchJsonWithoutAnyInterfaceIsAnEmptyList) {
  const CliRun run = RunBinary({"search", "--json"}, {"", "", true});
  EXPECT_EQ(run.status, 1) << Describe(run);
  EXPECT_EQ(json::parse(run.out), json::array());
  EXPECT_THAT(run.err, HasSubstr("interface"));
}

TEST_F(CliLab, SetNamesChangesBoth) {
  const CliRun run = RunInProcess(
      {"set-names", "192.168.50.23", "--host-name", "NAS-CEDAR_2", "--workgroup", "R&D(2)"});
  ASSERT_EQ(run.status, 0) << Describe(run);
  EXPECT_THAT(run.out, HasSubstr("NAS-CEDAR_2 now answers at 192.168.50.23"));
  const json state = DeviceState("nas3");
  EXPECT_EQ(state["name"], "NAS-CEDAR_2");
  EXPECT_EQ(state["workgroup"], "R&D(2)");
}

TEST_F(CliLab, PortHeldByAnotherProgramIsReported) {
  // Bound without SO_REUSEADDR, as a foreign program would: every bind of ours fails.
  const int holder = socket(AF_INET, SOCK_DGRAM, 0);
  ASSERT_GE(holder, 0);
  sockaddr_in any{};
  any.sin_family = AF_INET;
  any.sin_port = htons(13579);
  ASSERT_EQ(bind(holder, reinterpret_cast<const sockaddr*>(&any), sizeof any), 0);
  const CliRun run = RunInProcess({"search", "--json"});
  close(holder);
  EXPECT_EQ(run.status, 0) << Describe(run);
  EXPECT_THAT(run.err, HasSubstr("UDP port 13579 is in use by another program"));
  EXPECT_THAT(run.err, HasSubstr("lan1"));
  EXPECT_THAT(run.err, HasSubstr("lan2"));
  EXPECT_EQ(json::parse(run.out), json::array());
}

TEST_F(CliLab, NothingFoundPointsAtTheFirewall) {
  const std::string labSh = Environment("CORVANE_LAB_SH");
  ASSERT_FALSE(labSh.empty());
  const json lab = json::parse(ReadWholeFile(Environment("CORVANE_LAB_DIR") + "/lab.json"));
  const auto silence = [&](const std::string& mode) {
    for (const json& device : lab["devices"]) {
      const std::string command = labSh + " silence " + Environment("CORVANE_LAB") + " " +
                                  device["id"].get<std::string>() + " " + mode;
      ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
  };
  silence("on");
  const CliRun run = RunInProcess({"search", "--json"});
  silence("off");
  EXPECT_EQ(run.status, 0) << Describe(run);
  EXPECT_EQ(json::parse(run.out), json::array());
  EXPECT_THAT(run.err, HasSubstr("UDP port 13579 must be open for inbound traffic in the local "
                                 "firewall"));
}

}  // namespace
