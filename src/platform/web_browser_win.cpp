// SPDX-License-Identifier: GPL-3.0-or-later
// The default browser is whatever the user chose as the handler of http addresses; the shell
// starts it. There is no second opener to fall back on: the shell is the system's opener.
#include <windows.h>
// after windows.h
#include <shellapi.h>
#include <shlwapi.h>

#include <array>

#include "platform/bounded_worker_win.h"
#include "platform/web_browser.h"
#include "platform/wide_text_win.h"

namespace corvane::platform {
namespace {

// The shell may answer through COM; the thread that calls it needs COM started.
class ComOnThisThread {
 public:
  ComOnThisThread()
      : started_(SUCCEEDED(
            ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
  ~ComOnThisThread() {
    if (started_) ::CoUninitialize();
  }
  ComOnThisThread(const ComOnThisThread&) = delete;
  ComOnThisThread& operator=(const ComOnThisThread&) = delete;

 private:
  bool started_;
};

bool OpenWithShell(const std::string& url, BrowserStart& outcome) {
  const ComOnThisThread com;
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  const std::wstring wide = Wide(url);
  info.lpVerb = L"open";
  info.lpFile = wide.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (::ShellExecuteExW(&info) != FALSE) {
    outcome = BrowserStart::kStarted;
    return true;
  }
  const DWORD error = ::GetLastError();
  outcome = (error == ERROR_NO_ASSOCIATION || error == ERROR_FILE_NOT_FOUND ||
             error == ERROR_PATH_NOT_FOUND)
                ? BrowserStart::kProgramMissing
                : BrowserStart::kFailed;
  return false;
}

// The shell may wait for the program it starts to take the address (DDE): bounded like every
// other call that waits on another program.
class WindowsBrowser final : public WebBrowser {
 public:
  explicit WindowsBrowser(std::chrono::milliseconds bound) : bound_(bound) {}

  std::string DefaultBrowserName() override {
    std::array<wchar_t, 512> name{};
    DWORD length = static_cast<DWORD>(name.size());
    if (::AssocQueryStringW(ASSOCF_NONE, ASSOCSTR_FRIENDLYAPPNAME, L"http", L"open", name.data(),
                            &length) != S_OK) {
      return {};
    }
    return Utf8(name.data());
  }
  BrowserStart StartDefaultBrowser(const std::string& url) override {
    return worker_
        .Run(bound_,
             [url] {
               BrowserStart outcome = BrowserStart::kFailed;
               OpenWithShell(url, outcome);
               return outcome;
             })
        .value_or(BrowserStart::kFailed);
  }
  bool StartSystemOpener(const std::string& url) override {
    return worker_
        .Run(bound_,
             [url] {
               BrowserStart outcome = BrowserStart::kFailed;
               return OpenWithShell(url, outcome);
             })
        .value_or(false);
  }

 private:
  std::chrono::milliseconds bound_;
  BoundedWorker worker_;
};

}  // namespace

std::unique_ptr<WebBrowser> MakeWebBrowser(std::chrono::milliseconds bound) {
  return std::make_unique<WindowsBrowser>(bound);
}

}  // namespace corvane::platform
