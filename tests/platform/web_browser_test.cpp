// SPDX-License-Identifier: GPL-3.0-or-later
// The default browser as the desktop registers it, in a desktop of the test's own: its own data
// and configuration folders (no system applications), stand-in programs that record their
// arguments, and a stand-in xdg-open first on PATH.
#include "platform/web_browser.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
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

  void RegisterDefault(const std::string& id, const std::string& exec) {
    std::ofstream(root_ / "data/applications" / id)
        << "[Desktop Entry]\nType=Application\nName=Test browser\nExec=" << exec
        << "\nMimeType=x-scheme-handler/http;\n";
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

}  // namespace
}  // namespace corvane::platform
