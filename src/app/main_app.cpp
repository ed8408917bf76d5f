// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_app.h"

#include <QLibraryInfo>

#include "app/main_dlg.h"
#include "dialogs/look.h"
#include "dialogs/message_box.h"
#include "platform/drive_mappings.h"
#include "platform/translation.h"

namespace corvane::app {

CMainApp::CMainApp(QApplication& application) : application_(application) {
  InstallQtTranslations(qtTranslations_);
}

void InstallQtTranslations(QTranslator& translator) {
  // Qt's catalogues in the language of Corvane's, so that a window never mixes two languages.
  const std::string language = platform::CatalogueLanguage();
  if (language.empty()) return;
  if (translator.load(QStringLiteral("qtbase_") + QString::fromStdString(language),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(&translator);
  }
}

std::string DescribeTransportProblems(const protocol::Session& session) {
  std::string text;
  for (const protocol::TransportProblem& problem : session.TransportProblems()) {
    if (!text.empty()) text += "\n";
    text += problem.message;
  }
  return text;
}

bool CMainApp::InitInstance() {
  protocol::Session session;
  session.OpenTransport();
  dialogs::ApplyLook(application_);
  const std::unique_ptr<platform::DriveMappings> drives = platform::MakeDriveMappings();

  // Without this a search that cannot work would just look like an empty network.
  const std::string problems = DescribeTransportProblems(session);
  if (!problems.empty()) {
    dialogs::ShowError(nullptr, problems);
  }

  CMainDlg dialog(session, *drives);
  dialog.DoModal();
  return false;
}

}  // namespace corvane::app
