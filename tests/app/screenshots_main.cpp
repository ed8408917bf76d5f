// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the main window and the dialogs it opens to PNG files for the documentation.
// Run inside a lab (for listed devices) with QT_QPA_PLATFORM=offscreen:
//   app_screenshots OUTPUT_DIR

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTimer>
#include <QTreeWidget>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>

#include "app/language_dialog.h"
#include "app/loading_dialog.h"
#include "app/main_app.h"
#include "app/main_dlg.h"
#include "app/main_dlg_template.h"
#include "dialogs/about_dialog.h"
#include "dialogs/busy_wait.h"
#include "dialogs/login_dialog.h"
#include "dialogs/look.h"
#include "dialogs/message_box.h"
#include "dialogs/restart_dialog.h"
#include "dialogs/texts.h"
#include "operations/testing/unattended_interaction.h"
#include "platform/drive_mappings.h"
#include "platform/smb_files.h"
#include "platform/translation.h"
#include "window_test_support.h"

namespace {

using namespace corvane;

bool Save(QWidget* widget, const QString& path) {
  const bool saved = widget->grab().save(path, "PNG");
  std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
  return saved;
}

// Waits (keeping the window painting) for the modal the action opens, then saves it and
// closes it. The delay lets a dialog with a running display show some progress first.
bool SaveModal(const QString& path, std::chrono::milliseconds delay,
               const std::function<void()>& openModal) {
  bool saved = false;
  std::function<void()> poll;
  poll = [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) {
      QTimer::singleShot(10, poll);
      return;
    }
    QTimer::singleShot(delay, modal, [&saved, path, modal] {
      saved = Save(modal, path);
      if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->done(0);
      } else {
        modal->close();
      }
    });
  };
  QTimer::singleShot(0, poll);
  openModal();
  return saved;
}

int Run(const QString& outputDir) {
  QDir().mkpath(outputDir);
  dialogs::ApplyLook(*qApp);
  protocol::Session session;
  session.OpenTransport();
  const auto drives = platform::MakeDriveMappings();

  app::CMainDlg window(session, *drives);
  window.InitDialog();
  window.RunFirstSearch();
  window.show();
  auto* devices = dialogs::FindControl<QTreeWidget>(&window, app::id::kDeviceList);
  if (devices->topLevelItemCount() > 0) app::test::ClickRow(devices, 0);
  QApplication::processEvents();
  bool ok = Save(&window, outputDir + "/main-window.png");

  ok &= SaveModal(outputDir + "/login-dialog.png", std::chrono::milliseconds(0), [&] {
    dialogs::CLoginDlg login(1, &window);
    login.DoModal();
  });
  ok &= SaveModal(outputDir + "/about-dialog.png", std::chrono::milliseconds(0), [&] {
    dialogs::CAboutDlg about(&window);
    about.DoModal();
  });
  ok &= SaveModal(outputDir + "/message-box.png", std::chrono::milliseconds(0), [&] {
    dialogs::ShowMessage(&window, platform::Tr(operations::text::kDhcpDone),
                         dialogs::text::kConfirm, dialogs::MessageIcon::kInformation);
  });
  std::atomic<int> languageResult{0};
  ok &= SaveModal(outputDir + "/restart-dialog.png", std::chrono::milliseconds(1500), [&] {
    dialogs::CRestartDlg::Timing timing;
    timing.step = std::chrono::milliseconds(30);
    timing.close = std::chrono::milliseconds(10000);
    dialogs::CRestartDlg restart(languageResult, &window, timing);
    restart.DoModal();
  });
  // The Language dialog asks the selected device (the first listed) before it shows.
  operations::testing::UnattendedInteraction unattended;
  const auto files = platform::MakeSmbFiles();
  const auto browser = platform::MakeWebBrowser();
  const std::string host = session.SelectedAddress.str();
  app::LanguageRun run{[&] { return operations::CheckLanguageSupport(session, unattended); },
                       [&](int index) {
                         return operations::InstallCodepageFiles(session, *files, index, host,
                                                                 unattended);
                       },
                       [&] { operations::OpenDeviceWebPage(*browser, host); }, languageResult};
  ok &= SaveModal(outputDir + "/language-dialog.png", std::chrono::milliseconds(0), [&] {
    app::CLanguageDlg dialog(run, &window);
    dialog.DoModal();
  });
  ok &= SaveModal(outputDir + "/loading-dialog.png", std::chrono::milliseconds(0), [&] {
    app::CLoadingDlg loading(run, &window);
    loading.DoModal();
  });
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  corvane::platform::StartTranslation(CORVANE_BUILD_CATALOGUES);
  QApplication application(argc, argv);
  QTranslator qtTranslations;
  corvane::app::InstallQtTranslations(qtTranslations);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  return Run(QString::fromLocal8Bit(argv[1]));
}
