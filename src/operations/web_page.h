// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Opening a device's web page, http://address, in the user's default browser.

#include <string>
#include <string_view>

#include "operations/interaction.h"
#include "platform/reachability.h"
#include "platform/web_browser.h"

namespace corvane::operations {

enum class WebPageOutcome {
  kUnreachable,   // the device's web server takes no connection: nothing was started
  kBrowser,       // the default browser was started
  kSystemOpener,  // the system opener was asked instead
  kNotStarted,    // neither could be started; the window passes over it silently
};

struct WebPageResult {
  WebPageOutcome outcome;
  std::string url;
  std::string browserName;  // as the desktop registers it; empty when none is
};

// Checks first that the device still answers on its web port (CheckReachable; an empty test
// connects to it). A browser registered under a name holding "IE" is left to the system opener,
// and so is the address when the registered browser's program is missing or cannot run; no
// other failure to start the browser falls back. Waits for neither program; the starts run
// aside while the front end waits in its own way (a session bus that never answers may hold
// them up to their bound).
WebPageResult OpenWebPage(std::string_view address, platform::WebBrowser& browser,
                          Interaction& interaction,
                          const platform::ReachabilityTest& reachability = {});

}  // namespace corvane::operations
