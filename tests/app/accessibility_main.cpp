// SPDX-License-Identifier: GPL-3.0-or-later
// Not a test by itself: shows the main window with two devices listed and one loaded, the Login
// dialog and a message box, for tests/app/check_accessibility.py to read over AT-SPI. Runs until
// it is terminated.
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QTreeWidget>

#include "app/main_dlg.h"
#include "app/main_dlg_template.h"
#include "dialogs/ip_address_edit.h"
#include "dialogs/login_dialog.h"
#include "dialogs/message_box.h"
#include "platform/testing/fake_drive_mappings.h"
#include "platform/translation.h"

using namespace corvane;

int main(int argc, char* argv[]) {
  platform::StartTranslation(CORVANE_BUILD_CATALOGUES);
  QApplication application(argc, argv);
  protocol::Session session;
  session.OpenTransport({});
  platform::testing::FakeDriveMappings drives;
  app::CMainDlg window(session, drives);
  window.InitDialog();
  window.RunFirstSearch();
  session.DeviceTable.AddDevice("NAS-ALDER", "192.168.50.21", "255.255.255.0", "192.168.50.1", "0",
                                {}, 0);
  session.DeviceTable.AddDevice("NAS-BIRCH", "192.168.50.22", "255.255.255.0", "192.168.50.1", "1",
                                {}, 0);
  window.ListDeviceTable();
  auto* devices = dialogs::FindControl<QTreeWidget>(&window, app::id::kDeviceList);
  devices->setCurrentItem(devices->topLevelItem(0));
  dialogs::FindControl<QLineEdit>(&window, app::id::kHostName)->setText("NAS-ALDER");
  dialogs::FindControl<dialogs::IpAddressEdit>(&window, app::id::kIpAddress)
      ->SetAddress({192, 168, 50, 21});
  window.show();

  dialogs::CLoginDlg login(0, &window);
  login.show();
  QTimer::singleShot(0, &window,
                     [&window] { dialogs::ShowWarning(&window, "The device did not answer."); });
  return QApplication::exec();
}
