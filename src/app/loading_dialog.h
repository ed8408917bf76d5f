// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shown while the installer copies a language's files onto the device. It starts the installer
// two seconds after it opens, stays painted while the installer works, and closes itself when
// the installer is done; the user cannot close it (no buttons, no close box, Enter and Escape
// do nothing). A failed installation is reported after it has closed.

#include <chrono>

#include "app/language_dialog.h"
#include "dialogs/template_dialog.h"

namespace corvane::app {

class CLoadingDlg : public dialogs::TemplateDialog {
  Q_OBJECT

 public:
  static constexpr std::chrono::milliseconds kInstallDelay{2000};

  explicit CLoadingDlg(LanguageRun& run, QWidget* parent = nullptr);

  void accept() override {}
  void reject() override {}

 protected:
  void OnInitDialog() override;
  // Any timer event starts the installer, once.
  void timerEvent(QTimerEvent* event) override;

 private:
  void InstallCodepageFiles();

  LanguageRun& run_;
  int timer_ = 0;
  bool installed_ = false;
};

}  // namespace corvane::app
