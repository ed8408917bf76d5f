// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "app/drive_map.h"
#include "dialogs/busy_wait.h"
#include "dialogs/restart_dialog.h"
#include "dialogs/template_dialog.h"
#include "operations/input_rules.h"
#include "platform/drive_mappings.h"
#include "platform/reachability.h"
#include "platform/smb_files.h"
#include "platform/web_browser.h"
#include "protocol/fixed_text.h"
#include "protocol/session.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace corvane::dialogs {
class IpAddressEdit;
}

namespace corvane::operations {
struct LanRefusal;
struct MountRequest;
}  // namespace corvane::operations

namespace corvane::app {

// The one window of the program: the device list and the operations on the selected device.
// Built from its template like every dialog: controls named by their template ids (FindControl),
// DoModal, and an OnInitDialog that fills the window (drive letters) before it is first shown;
// the first search runs once it is on screen. Handlers run one at a time on the UI thread; their
// network waits keep the window painted but take no input.
class CMainDlg : public dialogs::TemplateDialog {
  Q_OBJECT

 public:
  CMainDlg(protocol::Session& session, platform::DriveMappings& drives, QWidget* parent = nullptr);
  ~CMainDlg() override;

  bool DeviceSelected() const { return m_deviceSelected != 0; }
  // The search of a new window runs once it has been painted.
  bool FirstSearchPending() const { return m_firstSearchPending; }
  void RunFirstSearch();  // at once, when it has not run yet
  QAction* AboutAction() const { return m_aboutAction; }

  // The browser that "Connect to webpage" starts (the desktop's default unless set), and the
  // test that tells whether a device still answers (its web port unless set).
  void UseWebBrowser(platform::WebBrowser& browser) { m_browser = &browser; }
  void UseReachabilityTest(platform::ReachabilityTest test) {
    m_reachabilityTest = std::move(test);
  }

  // Handlers, public so that tests and later operations can run them directly.
  void RefreshDeviceList();
  void OnClickDeviceList();
  void OnModifyLan();
  void OnDhcpSelChange();
  void OnModifyHostName();
  void OnConnectWebPage();
  void OnMount();
  void OnUnmount();
  void OnAbout();
  void OnExit();
  void OnSetLanguage();
  void FillDriveCombo();
  // Fills the share list of the selected device from the session's share list, with the drive
  // each share is connected to; without a selected device it stays as it is.
  void RefreshShareList(bool hostIgnoreCase);
  // Fills the device list from the session's device table, row k showing device k.
  void ListDeviceTable();
  // What a repaint of the window does: follow drive connections made outside the program.
  void OnPaint();
  // Runs OnPaint soon, or once the current network wait has ended.
  void RequestPaintRescan();

  // The address the last operation on a device used, and how the last "Set language" ended
  // (0: a restart wait ran to its end; -1: nothing followed).
  std::string_view DeviceHost() const { return SelectedDeviceHost.view(); }
  int LastLanguageResult() const { return LanguageResult.load(); }

  // The file service of "Set language"; without this call the window makes the system's own
  // when first needed. Tests pass theirs, and may shorten the restart wait. An unformatted disk
  // opens the device's page through the browser of UseWebBrowser.
  void SetLanguageServices(platform::SmbFiles& files, dialogs::RestartTiming restartTiming = {});

 protected:
  void OnInitDialog() override;
  void accept() override;
  void reject() override;
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  class NetworkWait;
  class WindowInteraction;

  void CreateControls();
  std::vector<std::pair<QLabel*, int>> CreateStatics();  // each label with the control it names
  void NameControls(const std::vector<std::pair<QLabel*, int>>& labels);
  void CreateControl(const struct TemplateItem& item);
  void SetTabOrder();
  void InsertListColumns();
  void ConnectHandlers();

  static void SetEditText(QLineEdit* edit, const QString& text);
  void ClearLists();
  void ClearAddressControls();
  void ClearNameEdits();
  void SearchAndListDevices();
  struct ShareRow {
    std::string name;   // as the device sent it
    std::string drive;  // "Z:" when a letter stands for it, else empty
  };
  const protocol::DeviceRecord* SelectedDevice() const;
  const ShareRow* SelectedShare() const;
  void ShowDevice(const protocol::DeviceRecord& device);
  int SelectedRowFromTop() const;
  void ReadDeviceDetails();
  void ShowLanRefusal(const operations::LanRefusal& refusal);
  dialogs::IpAddressEdit* AddressControl(operations::AddressKind kind) const;
  void SetAddressControlsEnabled(bool enabled);
  void SetSubnetButtonsEnabled(bool enabled);
  void ShowDriveEntries(const DriveComboContent& content);
  void FollowDriveMappings();
  void EndWaitingRescan();
  void ReportDeviceGone();
  // Rescans the drive letters, searches again and clears the selection: where the window
  // starts, and where it starts over after a device went away or restarted.
  void StartOver();
  void RefreshDrives(bool hostIgnoreCase);
  operations::MountRequest MountRequestFromWindow() const;
  int SelectedShareRowFromTop() const;

  protocol::Session& m_session;
  platform::DriveMappings& m_drives;
  std::unique_ptr<platform::WebBrowser> m_ownBrowser;
  platform::WebBrowser* m_browser = nullptr;
  platform::ReachabilityTest m_reachabilityTest;

  int m_deviceSelected = 0;
  QTreeWidget* m_listDevices = nullptr;
  QTreeWidget* m_listShares = nullptr;
  QComboBox* m_comboDhcp = nullptr;
  QComboBox* m_comboDrive = nullptr;
  QLineEdit* m_editHostName = nullptr;
  QLineEdit* m_editWorkgroup = nullptr;
  dialogs::IpAddressEdit* m_ipAddress = nullptr;
  dialogs::IpAddressEdit* m_ipNetmask = nullptr;
  dialogs::IpAddressEdit* m_ipGateway = nullptr;
  QPushButton* m_btnSearch = nullptr;
  QPushButton* m_btnMount = nullptr;
  QPushButton* m_btnUnmount = nullptr;
  QPushButton* m_btnWebPage = nullptr;
  QPushButton* m_btnSetLanguage = nullptr;
  QAction* m_aboutAction = nullptr;

  int m_waitDepth = 0;
  bool m_rescanPending = false;
  bool m_rescanQueued = false;
  bool m_endingQuietly = false;  // Escape and Exit end the window without the close-box clean-up
  bool m_exposeWatched = false;
  bool m_dispatchingClick = false;  // the list's own handling of a release or key is under way
  bool m_firstSearchPending = false;
  std::vector<QWidget*>
      m_tabStops;  // template order  // the list's own handling of a release is under way

  // Shared by the operations on the selected device.
  DriveMapTable DriveMap{};
  protocol::FixedText<64> SelectedDeviceHost;
  std::atomic<int> LanguageResult{0};

  std::vector<ShareRow> m_shareRows;  // the rows of the share list, in its order
  platform::SmbFiles* m_smbFiles = nullptr;
  dialogs::RestartTiming m_restartTiming;
  std::unique_ptr<platform::SmbFiles> m_ownSmbFiles;
};

}  // namespace corvane::app
