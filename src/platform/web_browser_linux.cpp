// SPDX-License-Identifier: GPL-3.0-or-later
#include <gio/gio.h>

#include <array>

#include "platform/gio_support_linux.h"
#include "platform/web_browser.h"

namespace corvane::platform {
namespace {

using gio::ObjectPtr;

// The start failures that mean "this program cannot run here", for which the system opener
// stands in: no such file or folder, not executable, not a program.
bool ProgramMissing(const GError* error) {
  if (error->domain != G_SPAWN_ERROR) return false;
  switch (error->code) {
    case G_SPAWN_ERROR_NOENT:
    case G_SPAWN_ERROR_NOTDIR:
    case G_SPAWN_ERROR_ACCES:
    case G_SPAWN_ERROR_PERM:
    case G_SPAWN_ERROR_NOEXEC:
    case G_SPAWN_ERROR_ISDIR:
    case G_SPAWN_ERROR_LIBBAD:
      return true;
    default:
      return false;
  }
}

ObjectPtr<GAppInfo> DefaultBrowser() {
  return ObjectPtr<GAppInfo>(g_app_info_get_default_for_uri_scheme("http"));
}

class LinuxWebBrowser : public WebBrowser {
 public:
  std::string DefaultBrowserName() override {
    const ObjectPtr<GAppInfo> browser = DefaultBrowser();
    const char* id = browser ? g_app_info_get_id(browser.get()) : nullptr;
    return id != nullptr ? id : "";
  }

  BrowserStart StartDefaultBrowser(const std::string& url) override {
    const ObjectPtr<GAppInfo> browser = DefaultBrowser();
    if (!browser) return BrowserStart::kProgramMissing;
    GList uris{};
    uris.data = const_cast<char*>(url.c_str());
    GError* error = nullptr;
    if (g_app_info_launch_uris(browser.get(), &uris, nullptr, &error)) {
      return BrowserStart::kStarted;
    }
    const gio::ErrorPtr failure(error);
    return failure && ProgramMissing(failure.get()) ? BrowserStart::kProgramMissing
                                                    : BrowserStart::kFailed;
  }

  bool StartSystemOpener(const std::string& url) override {
    std::array<char*, 3> argv{const_cast<char*>("xdg-open"), const_cast<char*>(url.c_str()),
                              nullptr};
    // Without G_SPAWN_DO_NOT_REAP_CHILD GLib runs it as a grandchild: nothing to wait for,
    // and no zombie left behind.
    return g_spawn_async(nullptr, argv.data(), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr,
                         nullptr, nullptr);
  }
};

}  // namespace

std::unique_ptr<WebBrowser> MakeWebBrowser() {
  return std::make_unique<LinuxWebBrowser>();
}

}  // namespace corvane::platform
