// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// WebBrowser with a settable default browser and start results, recording every start.

#include <string>
#include <utility>
#include <vector>

#include "platform/web_browser.h"

namespace corvane::platform::testing {

class FakeWebBrowser : public WebBrowser {
 public:
  void SetDefaultBrowserName(std::string name) { name_ = std::move(name); }
  void SetBrowserStart(BrowserStart result) { browserStart_ = result; }
  void SetOpenerStarts(bool starts) { openerStarts_ = starts; }

  // Every start in order, as "browser URL" or "opener URL".
  const std::vector<std::string>& Starts() const { return starts_; }

  std::string DefaultBrowserName() override { return name_; }
  BrowserStart StartDefaultBrowser(const std::string& url) override {
    starts_.push_back("browser " + url);
    return browserStart_;
  }
  bool StartSystemOpener(const std::string& url) override {
    starts_.push_back("opener " + url);
    return openerStarts_;
  }

 private:
  std::string name_ = "firefox-esr.desktop";
  BrowserStart browserStart_ = BrowserStart::kStarted;
  bool openerStarts_ = true;
  std::vector<std::string> starts_;
};

}  // namespace corvane::platform::testing
