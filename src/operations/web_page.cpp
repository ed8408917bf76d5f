// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/web_page.h"

#include "operations/blocking.h"
#include "operations/reachability_check.h"

namespace corvane::operations {

WebPageResult OpenWebPage(std::string_view address, platform::WebBrowser& browser,
                          Interaction& interaction,
                          const platform::ReachabilityTest& reachability) {
  WebPageResult result{WebPageOutcome::kUnreachable, "http://" + std::string(address), {}};
  if (!CheckReachable(std::string(address), interaction, reachability)) return result;
  result.outcome = WebPageOutcome::kSystemOpener;
  result.browserName = browser.DefaultBrowserName();
  if (result.browserName.find("IE") == std::string::npos) {
    switch (RunBlocking(interaction, [&] { return browser.StartDefaultBrowser(result.url); })) {
      case platform::BrowserStart::kStarted:
        result.outcome = WebPageOutcome::kBrowser;
        return result;
      case platform::BrowserStart::kFailed:
        result.outcome = WebPageOutcome::kNotStarted;
        return result;
      case platform::BrowserStart::kProgramMissing:
        break;
    }
  }
  if (!RunBlocking(interaction, [&] { return browser.StartSystemOpener(result.url); })) {
    result.outcome = WebPageOutcome::kNotStarted;
  }
  return result;
}

}  // namespace corvane::operations
