// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The user's default web browser, and the system's own way of opening an address when that
// browser cannot be started.

#include <chrono>
#include <memory>
#include <string>

namespace corvane::platform {

enum class BrowserStart {
  kStarted,
  // Nothing is registered, or the registered program is missing or cannot be executed: the
  // caller opens the address with the system opener instead.
  kProgramMissing,
  // Any other failure; callers report nothing.
  kFailed,
};

class WebBrowser {
 public:
  virtual ~WebBrowser() = default;
  // The name the desktop registers the default handler of http addresses under, for example
  // "firefox-esr.desktop"; empty when none is registered.
  virtual std::string DefaultBrowserName() = 0;
  // Starts the default browser on the url as its registration says (the url goes in where the
  // registration places it, as one argument, never through a shell). Does not wait for the
  // browser, only, for one started over D-Bus, for its answer; returns within the bound even
  // when the session bus never answers (kFailed then).
  virtual BrowserStart StartDefaultBrowser(const std::string& url) = 0;
  // Hands the url to the system opener (xdg-open on Linux) without a shell and without
  // waiting for it; false when it could not be started.
  virtual bool StartSystemOpener(const std::string& url) = 0;
};

std::unique_ptr<WebBrowser> MakeWebBrowser(
    std::chrono::milliseconds bound = std::chrono::milliseconds(10000));

}  // namespace corvane::platform
