// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/language_dialog.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

#include "app/loading_dialog.h"
#include "dialogs/controls.h"
#include "dialogs/message_box.h"
#include "dialogs/texts.h"
#include "language/codepage_files.h"
#include "platform/translation.h"

namespace corvane::app {

namespace {

namespace text = dialogs::text;

constexpr int kNoLanguageChange = -1;
constexpr int kClosedComboHeight = 14;

}  // namespace

CLanguageDlg::CLanguageDlg(LanguageRun& run, QWidget* parent)
    : TemplateDialog(Template{229, 71, text::Shown(text::kLanguageTitle), dialogs::kCaptionOnly},
                     parent),
      run_(run) {
  auto* ok = new QPushButton(text::Shown(text::kOk), this);  // owned by the dialog
  dialogs::SetControlId(ok, 1);
  ok->setDefault(true);
  Place(ok, 172, 7, 50, 14);
  auto* cancel = new QPushButton(text::Shown(text::kCancel), this);
  dialogs::SetControlId(cancel, 2);
  Place(cancel, 172, 24, 50, 14);

  auto* label = new QLabel(text::Shown(text::kLanguageLabel), this);
  Place(label, 13, 12, 36, 8);
  m_comboLanguage = new QComboBox(this);
  dialogs::SetControlId(m_comboLanguage, kIdLanguage);
  for (const language::Language& language : language::kLanguages) {
    const std::string_view shown = platform::Tr(language.comboText);
    m_comboLanguage->addItem(QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size())));
  }
  m_comboLanguage->setMaxVisibleItems(static_cast<int>(language::kLanguages.size()));
  Place(m_comboLanguage, 51, 11, 113, kClosedComboHeight);
  dialogs::NameByLabel(label, m_comboLanguage);
  setTabOrder(m_comboLanguage, ok);
  setTabOrder(ok, cancel);

  connect(ok, &QPushButton::clicked, this, &CLanguageDlg::OnOK);
  connect(cancel, &QPushButton::clicked, this, &CLanguageDlg::OnCancel);
}

int CLanguageDlg::DoModal() {
  InitDialog();
  if (turnedAway_) return result();
  return TemplateDialog::DoModal();
}

void CLanguageDlg::OnInitDialog() {
  const operations::LanguageCheck check = run_.check();
  if (!check.Ready()) {
    TurnAway(check.Refusal(), check.OpensWebPage());
    return;
  }
  m_comboLanguage->setCurrentIndex(check.LanguageIndex);
  m_comboLanguage->setFocus();
}

void CLanguageDlg::TurnAway(std::string_view message, bool openWebPage) {
  // Shown instead of this dialog, over the window it was opened from.
  dialogs::ShowMessage(parentWidget(), message, "", dialogs::MessageIcon::kNone);
  // The device formats its disk on its own web page.
  if (openWebPage) run_.openWebPage();
  run_.LanguageResult.store(kNoLanguageChange);
  turnedAway_ = true;
  QDialog::done(QDialog::Accepted);
}

void CLanguageDlg::OnOK() {
  run_.LanguageIndex = m_comboLanguage->currentIndex();
  if (run_.LanguageIndex < 0) return;
  // Ends this dialog's loop once the handler returns; the installation runs in the meantime.
  QDialog::done(QDialog::Accepted);
  // What follows this dialog opens over the window this dialog was opened from.
  {
    CLoadingDlg loading(run_, parentWidget());
    loading.DoModal();
  }
  if (run_.CopyFailed == 0) {
    dialogs::CRestartDlg restart(run_.LanguageResult, parentWidget(), run_.restartTiming);
    restart.DoModal();
  } else {
    CLanguageDlg again(run_, parentWidget());
    again.DoModal();
  }
}

void CLanguageDlg::OnCancel() {
  run_.LanguageResult.store(kNoLanguageChange);
  QDialog::done(QDialog::Rejected);
}

void CLanguageDlg::closeEvent(QCloseEvent* event) {
  run_.LanguageResult.store(kNoLanguageChange);
  TemplateDialog::closeEvent(event);
}

}  // namespace corvane::app
