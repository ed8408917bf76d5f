// SPDX-License-Identifier: GPL-3.0-or-later
// The default browser as the desktop registers it, in a desktop of the test's own: its own data
// and configuration folders (no system applications), stand-in programs that record their
// arguments, and a stand-in xdg-open first on PATH.
#include "platform/web_browser.h"

#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace corvane::platform {
namespace {

namespace fs = std::filesystem;

constexpr char kUrl[] = "http://192.168.50.21";

class DefaultBrowser : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "corvane-browser.XXXXXX").string();
    root_ = ::mkdtemp(pattern.data());
    for (const char* folder : {"data/applications", "config", "empty", "bin"}) {
      fs::create_directories(root_ / folder);
    }
    // Set before GIO reads any of them; each test runs in a process of its own.
    ::setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
    ::setenv("XDG_DATA_DIRS", (root_ / "empty").c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", (root_ / "empty").c_str(), 1);
    ::setenv("PATH", ((root_ / "bin").string() + ":/usr/bin:/bin").c_str(), 1);
    StandIn("xdg-open");
    browser_ = MakeWebBrowser();
  }
  void TearDown() override { fs::remove_all(root_); }

  // A program that writes its arguments, one per line, to NAME.args.
  fs::path StandIn(const std::string& name) {
    const fs::path program = root_ / "bin" / name;
    std::ofstream(program) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" << program.string()
                           << ".args.tmp\"\nmv \"" << program.string() << ".args.tmp\" \""
                           << program.string() << ".args\"\n";
    fs::permissions(program, fs::perms::owner_all);
    return program;
  }

  void RegisterDefault(const std::string& id, const std::string& exec, bool overDBus = false) {
    std::ofstream(root_ / "data/applications" / id)
        << "[Desktop Entry]\nType=Application\nName=Test browser\nExec=" << exec
        << "\nMimeType=x-scheme-handler/http;\n"
        << (overDBus ? "DBusActivatable=true\n" : "");
    std::ofstream(root_ / "config/mimeapps.list")
        << "[Default Applications]\nx-scheme-handler/http=" << id << "\n";
  }

  // The arguments a stand-in was started with; empty when it did not run within the bound.
  std::string ArgumentsOf(const std::string& name) {
    const fs::path record = root_ / "bin" / (name + ".args");
    for (int i = 0; i < 500 && !fs::exists(record); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::stringstream text;
    text << std::ifstream(record).rdbuf();
    return text.str();
  }

  fs::path root_;
  std::unique_ptr<WebBrowser> browser_;
};

TEST_F(DefaultBrowser, NothingRegisteredLeavesTheSystemOpener) {
  EXPECT_EQ(browser_->DefaultBrowserName(), "");
  EXPECT_EQ(browser_->StartDefaultBrowser(kUrl), BrowserStart::kProgramMissing);
  EXPECT_TRUE(browser_->StartSystemOpener(kUrl));
  EXPECT_EQ(ArgumentsOf("xdg-open"), std::string(kUrl) + "\n");
}

TEST_F(DefaultBrowser, StartsTheRegisteredBrowserWithTheAddressWhereItsEntrySays) {
  const fs::path program = StandIn("browser");
  RegisterDefault("corvane-test-browser.desktop", program.string() + " --new-window %u");
  EXPECT_EQ(browser_->DefaultBrowserName(), "corvane-test-browser.desktop");
  EXPECT_EQ(browser_->StartDefaultBrowser(kUrl), BrowserStart::kStarted);
  EXPECT_EQ(ArgumentsOf("browser"), std::string("--new-window\n") + kUrl + "\n");
}

TEST_F(DefaultBrowser, AMissingProgramCountsAsMissing) {
  RegisterDefault("corvane-gone.desktop", (root_ / "bin/gone").string() + " %u");
  EXPECT_EQ(browser_->StartDefaultBrowser(kUrl), BrowserStart::kProgramMissing);
}

// The registered program loses its execute permission, then goes away altogether.
TEST_F(DefaultBrowser, AProgramThatCannotRunCountsAsMissing) {
  const fs::path program = StandIn("browser");
  RegisterDefault("corvane-test-browser.desktop", program.string() + " %u");
  ASSERT_EQ(browser_->DefaultBrowserName(), "corvane-test-browser.desktop");
  fs::permissions(program, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(browser_->StartDefaultBrowser(kUrl), BrowserStart::kProgramMissing);
  fs::remove(program);
  EXPECT_EQ(browser_->StartDefaultBrowser(kUrl), BrowserStart::kProgramMissing);
  EXPECT_FALSE(fs::exists(root_ / "bin/browser.args"));
}

// A session bus of the test's own, on which no application can be activated. It ends with the
// test's process: ended earlier, it would take the process along (GLib ends a program whose
// session bus goes away).
void StartPrivateBus() {
  int address[2];
  ASSERT_EQ(::pipe(address), 0);
  const std::string fd = "--print-address=" + std::to_string(address[1]);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(address[0]);
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    ::execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", fd.c_str(), nullptr);
    ::_exit(127);
  }
  ::close(address[1]);
  char text[512] = {};
  const ssize_t got = ::read(address[0], text, sizeof text - 1);
  ::close(address[0]);
  ASSERT_GT(got, 0);
  ::setenv("DBUS_SESSION_BUS_ADDRESS", std::string(text, std::strcspn(text, "\n")).c_str(), 1);
}

// Started over D-Bus, a browser is started only when the bus says so: one whose service cannot
// be activated leaves the address to the system opener.
TEST_F(DefaultBrowser, ABrowserStartedOverDBusCountsOnlyWhenTheBusStartedIt) {
  StartPrivateBus();
  const fs::path program = StandIn("browser");
  RegisterDefault("org.corvane.TestBrowser.desktop", program.string() + " %u", true);
  EXPECT_EQ(browser_->StartDefaultBrowser(kUrl), BrowserStart::kProgramMissing);
}

// A session bus that takes the connection and never says a word holds the start no longer than
// its bound.
TEST_F(DefaultBrowser, ASilentSessionBusHoldsTheStartNoLongerThanItsBound) {
  const fs::path socketPath = root_ / "silent-bus";
  const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(listener, 8), 0);
  ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + socketPath.string()).c_str(), 1);
  // GLib may still start it once the test is over: a program that leaves no trace.
  RegisterDefault("org.corvane.TestBrowser.desktop", "true %u", true);

  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(MakeWebBrowser(std::chrono::milliseconds(500))->StartDefaultBrowser(kUrl),
            BrowserStart::kFailed);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << "does not hang";
  ::close(listener);
}

}  // namespace
}  // namespace corvane::platform
