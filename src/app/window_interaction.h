// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Private to the main window's sources: the window's side of the operations.

#include "app/main_dlg.h"
#include "operations/interaction.h"

namespace corvane::app {

// Asks with the Login and Mapping Type dialogs; waits inside a NetworkWait (busy cursor, no
// input, painting) and shows the workgroup of a clicked device before its share list is read.
class CMainDlg::WindowInteraction : public operations::Interaction {
 public:
  explicit WindowInteraction(CMainDlg& dialog) : dialog_(dialog) {}

  void WaitUntil(const std::function<bool()>& done) override;
  std::optional<platform::Credentials> AskAdministratorCredentials() override;
  operations::MapType ChooseMapType() override;
  std::optional<platform::Credentials> AskShareCredentials(std::string_view remote) override;
  void Report(const operations::Progress& progress) override;

 private:
  CMainDlg& dialog_;
};

}  // namespace corvane::app
