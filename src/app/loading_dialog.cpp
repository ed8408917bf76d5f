// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/loading_dialog.h"

#include <QLabel>
#include <QTimerEvent>

#include "dialogs/message_box.h"
#include "dialogs/texts.h"
#include "platform/translation.h"

namespace corvane::app {

CLoadingDlg::CLoadingDlg(LanguageRun& run, QWidget* parent)
    // A blank, not an empty, title: Qt shows the program's file name for an empty one.
    : TemplateDialog(Template{220, 73, QStringLiteral(" "), dialogs::kCaptionOnly}, parent),
      run_(run) {
  const auto addText = [this](std::string_view text, int x, int y) {
    auto* label = new QLabel(dialogs::text::Shown(text), this);  // owned by the dialog
    Place(label, x, y, 214 - x, 8);
  };
  addText(dialogs::text::kLoading, 6, 11);
  addText(dialogs::text::kLoadingWarning, 4, 28);
  addText(dialogs::text::kLoadingDamage, 6, 45);
}

void CLoadingDlg::OnInitDialog() {
  timer_ = startTimer(kInstallDelay);
}

void CLoadingDlg::timerEvent(QTimerEvent* /*event*/) {
  if (installed_) return;
  installed_ = true;
  killTimer(timer_);
  InstallCodepageFiles();
}

void CLoadingDlg::InstallCodepageFiles() {
  const operations::InstallResult result = run_.install(run_.LanguageIndex);
  run_.CopyFailed = result.CopyFailed;
  done(QDialog::Rejected);
  if (result.CopyFailed != 0) {
    // This dialog has gone: the message belongs to the window it was opened over.
    dialogs::ShowMessage(parentWidget(), platform::Tr(operations::text::kCheckHardDrives), "",
                         dialogs::MessageIcon::kNone);
  }
}

}  // namespace corvane::app
