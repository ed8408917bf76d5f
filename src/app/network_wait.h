// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Private to the main window's sources.

#include <optional>

#include "app/main_dlg.h"
#include "dialogs/busy_wait.h"

namespace corvane::app {

// Brackets a search, request or sleep: busy cursor, no input, the window keeps painting. Paint
// rescans asked for meanwhile run when the outermost wait ends, since the wait may be changing
// the share list they read.
class CMainDlg::NetworkWait {
 public:
  explicit NetworkWait(CMainDlg& dialog) : dialog_(dialog) {
    ++dialog_.m_waitDepth;
    busy_.emplace();
  }
  ~NetworkWait() {
    busy_.reset();
    if (--dialog_.m_waitDepth == 0) dialog_.EndWaitingRescan();
  }
  NetworkWait(const NetworkWait&) = delete;
  NetworkWait& operator=(const NetworkWait&) = delete;

 private:
  CMainDlg& dialog_;
  std::optional<dialogs::BusyScope> busy_;
};

}  // namespace corvane::app
