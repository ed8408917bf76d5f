// SPDX-License-Identifier: GPL-3.0-or-later
// "Set language": installing language support on the selected device.

#include "app/language_dialog.h"
#include "app/main_dlg.h"
#include "app/window_interaction.h"
#include "dialogs/message_box.h"
#include "operations/codepage_install.h"
#include "platform/translation.h"

namespace corvane::app {

void CMainDlg::SetLanguageServices(platform::SmbFiles& files,
                                   dialogs::RestartTiming restartTiming) {
  m_smbFiles = &files;
  m_restartTiming = restartTiming;
}

void CMainDlg::OnSetLanguage() {
  if (m_deviceSelected == 0) {
    dialogs::ShowError(this, platform::Tr(operations::text::kSelectDevice));
    return;
  }
  if (m_smbFiles == nullptr) {
    m_ownSmbFiles = platform::MakeSmbFiles();
    m_smbFiles = m_ownSmbFiles.get();
  }
  // Every way out of the dialogs sets the result; the reset only keeps a run from reading the last.
  LanguageResult.store(0);
  WindowInteraction interaction(*this);
  const std::string host = SelectedDeviceHost.str();
  LanguageRun run{[&] { return operations::CheckLanguageSupport(m_session, interaction); },
                  [&](int languageIndex) {
                    return operations::InstallCodepageFiles(m_session, *m_smbFiles, languageIndex,
                                                            host, interaction);
                  },
                  [&] { operations::OpenDeviceWebPage(*m_browser, host); }, LanguageResult,
                  m_restartTiming};
  CLanguageDlg dialog(run, this);
  dialog.DoModal();
  if (LanguageResult.load() != 0) return;
  // The device has restarted: its shares, and perhaps its address, are to be found again.
  StartOver();
}

}  // namespace corvane::app
