// SPDX-License-Identifier: GPL-3.0-or-later
#include <gio/gio.h>

#include <array>
#include <chrono>
#include <memory>
#include <string>

#include "platform/gio_support_linux.h"
#include "platform/web_browser.h"

namespace corvane::platform {
namespace {

using gio::ObjectPtr;

// The start failures that mean "this program cannot run here", for which the system opener
// stands in: no such file or folder, not executable, not a program, or, for a browser started
// over D-Bus, a service that could not be activated.
bool ProgramMissing(const GError* error) {
  if (error->domain == G_DBUS_ERROR) return true;
  if (error->domain == G_IO_ERROR) return error->code == G_IO_ERROR_DBUS_ERROR;
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

// Starts an application on an address on the GIO thread. Started over D-Bus, the application's
// answer is awaited, so its real result decides; the session bus, when it never answers, costs
// no more than the bound.
class LaunchCall : public gio::Call {
 public:
  LaunchCall(ObjectPtr<GAppInfo> application, std::string url)
      : application_(std::move(application)), url_(std::move(url)) {}

  void Start() override {
    GList uris{};
    uris.data = url_.data();
    g_app_info_launch_uris_async(application_.get(), &uris, nullptr, cancellable(), Launched, this);
  }

 private:
  static void Launched(GObject* source, GAsyncResult* result, gpointer data) {
    LaunchCall& call = *static_cast<LaunchCall*>(data);
    g_app_info_launch_uris_finish(G_APP_INFO(source), result, call.error());
    call.Finish();
  }

  ObjectPtr<GAppInfo> application_;
  std::string url_;
};

class LinuxWebBrowser : public WebBrowser {
 public:
  explicit LinuxWebBrowser(std::chrono::milliseconds bound) : bound_(bound) {}

  std::string DefaultBrowserName() override {
    const ObjectPtr<GAppInfo> browser = DefaultBrowser();
    const char* id = browser ? g_app_info_get_id(browser.get()) : nullptr;
    return id != nullptr ? id : "";
  }

  BrowserStart StartDefaultBrowser(const std::string& url) override {
    ObjectPtr<GAppInfo> browser = DefaultBrowser();
    if (!browser) return BrowserStart::kProgramMissing;
    const auto call = std::make_shared<LaunchCall>(std::move(browser), url);
    if (!gio::Run(call, bound_)) return BrowserStart::kFailed;
    const gio::ErrorPtr failure = call->TakeError();
    if (!failure) return BrowserStart::kStarted;
    return ProgramMissing(failure.get()) ? BrowserStart::kProgramMissing : BrowserStart::kFailed;
  }

  bool StartSystemOpener(const std::string& url) override {
    std::array<char*, 3> argv{const_cast<char*>("xdg-open"), const_cast<char*>(url.c_str()),
                              nullptr};
    // Without G_SPAWN_DO_NOT_REAP_CHILD GLib runs it as a grandchild: nothing to wait for,
    // and no zombie left behind.
    return g_spawn_async(nullptr, argv.data(), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr,
                         nullptr, nullptr);
  }

 private:
  std::chrono::milliseconds bound_;
};

}  // namespace

std::unique_ptr<WebBrowser> MakeWebBrowser(std::chrono::milliseconds bound) {
  return std::make_unique<LinuxWebBrowser>(bound);
}

}  // namespace corvane::platform
