// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "Set language" in the window: the Language dialog, where the user picks one of the six
// languages for the selected device, and what it opens in turn: the Loading dialog that runs
// the installer, then the restart wait, or after a failed installation the Language dialog once
// more. The checks and the installer are the operations' (operations/codepage_install.h);
// these dialogs only ask and show.

#include <QComboBox>
#include <atomic>
#include <functional>

#include "dialogs/restart_dialog.h"
#include "dialogs/template_dialog.h"
#include "operations/codepage_install.h"

namespace corvane::app {

// What one "Set language" works with, shared by the dialogs it nests. The window binds the
// operations to the selected device; the dialogs only call them.
struct LanguageRun {
  // Asks the device whether it can take a language, and which one it has.
  std::function<operations::LanguageCheck()> check;
  // Copies the files of the language with this index onto the device.
  std::function<operations::InstallResult(int languageIndex)> install;
  // The device's web page, where a disk is formatted.
  std::function<void()> openWebPage;
  // -1 after a cancel, a close or a device turned away; 0 once a restart wait ran to its end.
  std::atomic<int>& LanguageResult;
  // The program keeps the restart wait's own timing; only tests shorten it.
  dialogs::RestartTiming restartTiming{};
  int LanguageIndex = 0;
  int CopyFailed = 0;
};

class CLanguageDlg : public dialogs::TemplateDialog {
  Q_OBJECT

 public:
  static constexpr int kIdLanguage = 1028;

  explicit CLanguageDlg(LanguageRun& run, QWidget* parent = nullptr);

  // The device is asked before the dialog is shown; one that cannot take a language is told
  // why and never sees the dialog.
  int DoModal();

  QComboBox* LanguageCombo() const { return m_comboLanguage; }

  void OnOK();
  void OnCancel();

 protected:
  void OnInitDialog() override;
  void accept() override { OnOK(); }
  void reject() override { OnCancel(); }
  void closeEvent(QCloseEvent* event) override;

 private:
  void TurnAway(std::string_view message, bool openWebPage);

  LanguageRun& run_;
  QComboBox* m_comboLanguage = nullptr;
  bool turnedAway_ = false;
};

}  // namespace corvane::app
