// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/web_page.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/testing/fake_web_browser.h"
#include "scripted_device.h"

namespace corvane::operations {
namespace {

using platform::BrowserStart;
using platform::testing::FakeWebBrowser;
using ::testing::ElementsAre;

constexpr char kUrl[] = "http://192.168.50.21";

bool Answers(const std::string&, std::chrono::milliseconds) {
  return true;
}

TEST(OpenWebPageTest, IeAndAMissingBrowserGoToTheSystemOpener) {
  FakeWebBrowser browser;
  testing::RecordingInteraction user;
  EXPECT_EQ(OpenWebPage("192.168.50.21", browser, user, Answers).outcome, WebPageOutcome::kBrowser);
  browser.SetDefaultBrowserName("IEXPLORE.EXE");
  EXPECT_EQ(OpenWebPage("192.168.50.21", browser, user, Answers).outcome,
            WebPageOutcome::kSystemOpener);
  browser.SetDefaultBrowserName("webie.desktop");  // "ie" in small letters is any browser
  browser.SetBrowserStart(BrowserStart::kProgramMissing);
  EXPECT_EQ(OpenWebPage("192.168.50.21", browser, user, Answers).outcome,
            WebPageOutcome::kSystemOpener);
  browser.SetBrowserStart(BrowserStart::kFailed);
  EXPECT_EQ(OpenWebPage("192.168.50.21", browser, user, Answers).outcome,
            WebPageOutcome::kNotStarted);
  EXPECT_THAT(browser.Starts(),
              ElementsAre(std::string("browser ") + kUrl, std::string("opener ") + kUrl,
                          std::string("browser ") + kUrl, std::string("opener ") + kUrl,
                          std::string("browser ") + kUrl));
}

}  // namespace
}  // namespace corvane::operations
