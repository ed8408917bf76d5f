// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/web_page.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include "operations/reachability_check.h"
#include "platform/testing/fake_web_browser.h"
#include "scripted_device.h"

namespace corvane::operations {
namespace {

using namespace std::chrono_literals;
using platform::BrowserStart;
using platform::testing::FakeWebBrowser;
using ::testing::ElementsAre;

constexpr char kUrl[] = "http://192.168.50.21";

TEST(OpenWebPageTest, IeAndAMissingBrowserGoToTheSystemOpener) {
  FakeWebBrowser browser;
  testing::RecordingInteraction user;
  EXPECT_EQ(OpenWebPage("192.168.50.21", browser, user).outcome, WebPageOutcome::kBrowser);
  browser.SetDefaultBrowserName("IEXPLORE.EXE");
  EXPECT_EQ(OpenWebPage("192.168.50.21", browser, user).outcome, WebPageOutcome::kSystemOpener);
  browser.SetDefaultBrowserName("webie.desktop");  // "ie" in small letters is any browser
  browser.SetBrowserStart(BrowserStart::kProgramMissing);
  EXPECT_EQ(OpenWebPage("192.168.50.21", browser, user).outcome, WebPageOutcome::kSystemOpener);
  browser.SetBrowserStart(BrowserStart::kFailed);
  EXPECT_EQ(OpenWebPage("192.168.50.21", browser, user).outcome, WebPageOutcome::kNotStarted);
  EXPECT_THAT(browser.Starts(),
              ElementsAre(std::string("browser ") + kUrl, std::string("opener ") + kUrl,
                          std::string("browser ") + kUrl, std::string("opener ") + kUrl,
                          std::string("browser ") + kUrl));
}

TEST(CheckReachableTest, AnAnswerAfterTheCheckGaveUpNeverCountsForALaterOne) {
  testing::RecordingInteraction user;
  EXPECT_FALSE(CheckReachable("192.168.50.21", user, [](const std::string&, auto) {
    std::this_thread::sleep_for(kReachabilityWait + 200ms);
    return true;
  }));
  EXPECT_FALSE(CheckReachable("192.168.50.22", user,
                              [](const std::string& address, auto) { return address.empty(); }));
  EXPECT_TRUE(CheckReachable("192.168.50.22", user, [](const std::string&, auto) { return true; }));
}

}  // namespace
}  // namespace corvane::operations
