// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_dlg.h"

#include <algorithm>
#include <initializer_list>
#include <numeric>

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <QValidator>
#include <QWindow>

#include "app/main_dlg_template.h"
#include "app/network_wait.h"
#include "dialogs/about_dialog.h"
#include "dialogs/app_icon.h"
#include "dialogs/controls.h"
#include "dialogs/dialog_units.h"
#include "dialogs/drop_down_list.h"
#include "dialogs/ip_address_edit.h"
#include "dialogs/look.h"
#include "dialogs/texts.h"

namespace corvane::app {
namespace {

namespace text = dialogs::text;

QRect TemplateRect(const TemplateItem& item) {
  const int height = item.kind == ItemKind::kCombo ? kClosedComboHeight : item.h;
  return dialogs::DuRect(dialogs::kArial8BaseUnits, item.x, item.y, item.w, height);
}

int OpenListHeight(const TemplateItem& combo) {
  return dialogs::DuSize(dialogs::kArial8BaseUnits, 0, combo.h - kClosedComboHeight).height();
}

bool ComboShows(const QComboBox* combo, const std::vector<std::string>& entries) {
  if (combo->count() != static_cast<int>(entries.size())) return false;
  for (int index = 0; index < combo->count(); ++index) {
    if (combo->itemText(index).toStdString() != entries[static_cast<std::size_t>(index)]) {
      return false;
    }
  }
  return true;
}

// The classic widths (in these proportions) add up to more than the list has beside its vertical
// scroll bar, which cost every list a horizontal one: the columns share that room instead.
void FitColumns(QTreeWidget* list, std::initializer_list<int> widths) {
  const int room = list->width() - 2 * list->frameWidth() -
                   list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
  const int total = std::accumulate(widths.begin(), widths.end(), 0);
  int column = 0;
  for (const int width : widths) list->setColumnWidth(column++, room * width / total);
}

bool MovesInList(int key) {
  return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
         key == Qt::Key_PageDown || key == Qt::Key_Home || key == Qt::Key_End;
}

}  // namespace

CMainDlg::CMainDlg(protocol::Session& session, platform::DriveMappings& drives, QWidget* parent)
    : TemplateDialog(Template{kMainDialogWidth, kMainDialogHeight, dialogs::ApplicationTitle(),
                              dialogs::kCaptionWithMinimizeAndCloseBox},
                     parent),
      m_session(session),
      m_drives(drives),
      m_ownBrowser(platform::MakeWebBrowser()),
      m_browser(m_ownBrowser.get()) {
  setWindowIcon(dialogs::AppIcon());

  const std::vector<std::pair<QLabel*, int>> labels = CreateStatics();
  CreateControls();
  NameControls(labels);
  SetTabOrder();
  ConnectHandlers();

  // Stands in for the OK button of the dialog: default but hidden, so Enter in an edit or a list
  // presses nothing, while Enter on a focused button still presses that button.
  auto* hiddenDefault = new QPushButton(this);
  hiddenDefault->setDefault(true);
  hiddenDefault->setFocusPolicy(Qt::NoFocus);
  hiddenDefault->hide();

  m_aboutAction = new QAction(text::Shown(text::kAboutMenu), this);
  connect(m_aboutAction, &QAction::triggered, this, &CMainDlg::OnAbout);
}

CMainDlg::~CMainDlg() = default;

std::vector<std::pair<QLabel*, int>> CMainDlg::CreateStatics() {
  std::vector<std::pair<QLabel*, int>> labels;
  for (const TemplateItem& item : kMainStatics) {
    QWidget* widget = nullptr;
    if (item.kind == ItemKind::kGroup) {
      widget = new QGroupBox(text::Shown(item.text), this);
    } else {
      auto* label = new QLabel(text::Shown(item.text), this);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      labels.emplace_back(label, item.id);
      widget = label;
    }
    widget->setGeometry(TemplateRect(item));
  }
  return labels;
}

void CMainDlg::NameControls(const std::vector<std::pair<QLabel*, int>>& labels) {
  for (const auto& [label, controlId] : labels) {
    dialogs::NameByLabel(label, dialogs::FindControl(this, controlId));
  }
  m_listDevices->setAccessibleName(text::Shown(kDeviceListName));
  m_listShares->setAccessibleName(text::Shown(kShareListName));
  dialogs::FindControl(this, id::kModifyNames)->setAccessibleName(text::Shown(kModifyNamesName));
  dialogs::FindControl(this, id::kModifyLan)->setAccessibleName(text::Shown(kModifyLanName));
}

void CMainDlg::CreateControls() {
  for (const TemplateItem& item : kMainControls) CreateControl(item);

  using dialogs::FindControl;
  m_listDevices = FindControl<QTreeWidget>(this, id::kDeviceList);
  m_listShares = FindControl<QTreeWidget>(this, id::kShareList);
  m_comboDhcp = FindControl<QComboBox>(this, id::kDhcp);
  m_comboDrive = FindControl<QComboBox>(this, id::kDrive);
  m_editHostName = FindControl<QLineEdit>(this, id::kHostName);
  m_editWorkgroup = FindControl<QLineEdit>(this, id::kWorkgroup);
  m_ipAddress = FindControl<dialogs::IpAddressEdit>(this, id::kIpAddress);
  m_ipNetmask = FindControl<dialogs::IpAddressEdit>(this, id::kNetmask);
  m_ipGateway = FindControl<dialogs::IpAddressEdit>(this, id::kGateway);
  m_btnSearch = FindControl<QPushButton>(this, id::kSearch);
  m_btnMount = FindControl<QPushButton>(this, id::kMount);
  m_btnUnmount = FindControl<QPushButton>(this, id::kUnmount);
  m_btnWebPage = FindControl<QPushButton>(this, id::kWebPage);
  m_btnSetLanguage = FindControl<QPushButton>(this, id::kSetLanguage);

  m_comboDhcp->addItems({text::Shown(text::kDhcpDisabled), text::Shown(text::kDhcpEnabled)});
  // A freshly filled drop-down list has no selection until one is set (a click on a device);
  // until then "Modify" of the LAN group does nothing.
  m_comboDhcp->setCurrentIndex(-1);
  for (QLineEdit* edit : {m_editHostName, m_editWorkgroup}) {
    edit->setValidator(new dialogs::TypingLimit(edit, kTextLimit));
  }
  m_listDevices->viewport()->installEventFilter(this);
  m_listDevices->installEventFilter(this);
}

void CMainDlg::CreateControl(const TemplateItem& item) {
  QWidget* widget = nullptr;
  switch (item.kind) {
    case ItemKind::kList:
      widget = dialogs::MakeReportList(this);
      break;
    case ItemKind::kButton:
      widget = new QPushButton(text::Shown(item.text), this);
      break;
    case ItemKind::kEdit:
      widget = new QLineEdit(this);
      break;
    case ItemKind::kCombo:
      widget = new dialogs::DropDownList(OpenListHeight(item), this);
      break;
    case ItemKind::kIpAddress:
      widget = new dialogs::IpAddressEdit(this);
      break;
    case ItemKind::kGroup:
    case ItemKind::kLabel:
      return;
  }
  widget->setGeometry(TemplateRect(item));
  dialogs::SetControlId(widget, item.id);
}

void CMainDlg::SetTabOrder() {
  // Template order; the four fields of an address control follow each other (only the first
  // is a tab stop).
  std::vector<QWidget*> chain;
  for (const TemplateItem& item : kMainControls) {
    QWidget* control = dialogs::FindControl(this, item.id);
    m_tabStops.push_back(control);
    if (item.kind == ItemKind::kIpAddress) {
      auto* address = static_cast<dialogs::IpAddressEdit*>(control);
      for (int field = 0; field < 4; ++field) chain.push_back(address->Field(field));
    } else {
      chain.push_back(control);
    }
  }
  for (std::size_t k = 1; k < chain.size(); ++k) QWidget::setTabOrder(chain[k - 1], chain[k]);
}

// Qt's focus chain, once rearranged around controls made of several fields, does not close
// into a ring: after the last control Tab would go on inside the address controls. So Tab
// walks the template's controls itself, round and round, passing over disabled ones.
bool CMainDlg::focusNextPrevChild(bool next) {
  const QWidget* focused = focusWidget();
  const auto at = std::find_if(m_tabStops.begin(), m_tabStops.end(), [focused](QWidget* stop) {
    return stop == focused || stop->isAncestorOf(focused);
  });
  if (at == m_tabStops.end()) return TemplateDialog::focusNextPrevChild(next);
  const std::size_t count = m_tabStops.size();
  const auto from = static_cast<std::size_t>(at - m_tabStops.begin());
  for (std::size_t step = 1; step < count; ++step) {
    QWidget* stop = m_tabStops[(from + (next ? step : count - step)) % count];
    if (stop->isEnabled() && stop->isVisible()) {
      stop->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
      return true;
    }
  }
  return true;
}

void CMainDlg::InsertListColumns() {
  m_listDevices->setColumnCount(4);
  m_listDevices->setHeaderLabels({text::Shown(text::kColumnName), text::Shown(text::kColumnIp),
                                  text::Shown(text::kColumnNetmask),
                                  text::Shown(text::kColumnGateway)});
  FitColumns(m_listDevices, {100, 100, 100, 100});
  m_listShares->setColumnCount(2);
  m_listShares->setHeaderLabels(
      {text::Shown(text::kColumnShareName), text::Shown(text::kColumnConnectTo)});
  FitColumns(m_listShares, {180, 100});
}

void CMainDlg::ConnectHandlers() {
  const auto onClick = [this](int controlId, void (CMainDlg::*handler)()) {
    connect(dialogs::FindControl<QPushButton>(this, controlId), &QPushButton::clicked, this,
            handler);
  };
  onClick(id::kExit, &CMainDlg::OnExit);
  onClick(id::kAbout, &CMainDlg::OnAbout);
  onClick(id::kSearch, &CMainDlg::RefreshDeviceList);
  onClick(id::kModifyLan, &CMainDlg::OnModifyLan);
  onClick(id::kModifyNames, &CMainDlg::OnModifyHostName);
  onClick(id::kSetLanguage, &CMainDlg::OnSetLanguage);
  // Only a choice of the user changes the address controls; the program's own setCurrentIndex
  // does not come here.
  connect(m_comboDhcp, &QComboBox::activated, this, [this] { OnDhcpSelChange(); });
  onClick(id::kWebPage, &CMainDlg::OnConnectWebPage);
  onClick(id::kMount, &CMainDlg::OnMount);
  onClick(id::kUnmount, &CMainDlg::OnUnmount);
}

void CMainDlg::SetEditText(QLineEdit* edit, const QString& text) {
  if (const auto* limit = dynamic_cast<const dialogs::TypingLimit*>(edit->validator())) {
    limit->Allow(text.size());
  }
  edit->setText(text);
  // A name longer than the edit shows its beginning, as the classic edit does.
  edit->home(false);
}

void CMainDlg::OnInitDialog() {
  m_editHostName->clear();
  m_editWorkgroup->clear();
  InsertListColumns();
  ScanDriveMappings(DriveMap, m_drives);
  FillDriveCombo();
  m_deviceSelected = 0;
  // The search takes a second or more: the window shows first, and the list fills when it ends,
  // as after a click on Search.
  m_firstSearchPending = true;
}

void CMainDlg::RunFirstSearch() {
  if (!m_firstSearchPending) return;
  m_firstSearchPending = false;
  RefreshDeviceList();
}

void CMainDlg::FillDriveCombo() {
  ShowDriveEntries(MakeDriveComboContent(DriveMap, m_drives));
}

void CMainDlg::ShowDriveEntries(const DriveComboContent& content) {
  m_comboDrive->clear();
  for (const std::string& entry : content.entries) {
    m_comboDrive->addItem(QString::fromStdString(entry));
  }
  m_comboDrive->setCurrentIndex(content.selection);
}

// Every expose of the window rescans, and closing the combo's own list exposes it: a refill
// there would take back the letter the user has just picked. So the combo changes only when the
// mappings it shows have changed, and then keeps the user's letter while it is listed.
void CMainDlg::FollowDriveMappings() {
  const DriveComboContent content = MakeDriveComboContent(DriveMap, m_drives);
  if (ComboShows(m_comboDrive, content.entries)) return;
  const std::string chosen = m_comboDrive->currentText().toStdString();
  ShowDriveEntries(content);
  if (const int kept = FindDriveLetter(content, chosen); kept >= 0) {
    m_comboDrive->setCurrentIndex(kept);
  }
}

void CMainDlg::OnPaint() {
  m_rescanQueued = false;
  if (m_waitDepth > 0) {
    m_rescanPending = true;
    return;
  }
  ScanDriveMappings(DriveMap, m_drives);
  FollowDriveMappings();
  RefreshShareList(false);
}

void CMainDlg::RequestPaintRescan() {
  if (m_waitDepth > 0) {
    m_rescanPending = true;
    return;
  }
  if (m_rescanQueued) return;
  m_rescanQueued = true;
  QTimer::singleShot(0, this, &CMainDlg::OnPaint);
}

void CMainDlg::EndWaitingRescan() {
  if (!m_rescanPending) return;
  m_rescanPending = false;
  RequestPaintRescan();
}

void CMainDlg::showEvent(QShowEvent* event) {
  TemplateDialog::showEvent(event);
  m_endingQuietly = false;
  // The window system asks for a repaint when the window is uncovered or restored; that is when
  // connections made elsewhere are picked up. Repaints of our own controls must not trigger it,
  // or every rescan would trigger the next one.
  if (!m_exposeWatched && windowHandle() != nullptr) {
    windowHandle()->installEventFilter(this);
    m_exposeWatched = true;
  }
}

bool CMainDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed()) {
    // Queued behind the repaint this expose starts, so the window is on screen when it runs.
    if (m_firstSearchPending) QTimer::singleShot(0, this, &CMainDlg::RunFirstSearch);
    RequestPaintRescan();
  }
  if (watched == m_listDevices->viewport() && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && !m_dispatchingClick) {
    // The list handles the release first (a Ctrl+click deselects the row there); a click on
    // the empty area of the list, which selects nothing, counts as a click too.
    m_dispatchingClick = true;
    QCoreApplication::sendEvent(watched, event);
    m_dispatchingClick = false;
    OnClickDeviceList();
    return true;
  }
  if (watched == m_listDevices && event->type() == QEvent::KeyPress && !m_dispatchingClick &&
      MovesInList(static_cast<QKeyEvent*>(event)->key())) {
    // A device reached with the arrow keys is loaded as a click loads it.
    const QTreeWidgetItem* before = m_listDevices->currentItem();
    m_dispatchingClick = true;
    QCoreApplication::sendEvent(watched, event);
    m_dispatchingClick = false;
    if (m_listDevices->currentItem() != before && m_listDevices->currentItem() != nullptr &&
        m_listDevices->currentItem()->isSelected()) {
      OnClickDeviceList();
    }
    return true;
  }
  return TemplateDialog::eventFilter(watched, event);
}

void CMainDlg::accept() {
  // Enter never ends the window.
}

void CMainDlg::reject() {
  m_endingQuietly = true;
  TemplateDialog::reject();
}

void CMainDlg::closeEvent(QCloseEvent* event) {
  if (!m_endingQuietly) m_session.CloseTransport();
  m_endingQuietly = true;
  TemplateDialog::closeEvent(event);
}

void CMainDlg::contextMenuEvent(QContextMenuEvent* event) {
  // A window manager's system menu cannot take items from an application, so the About entry
  // is offered on the window's background instead.
  QWidget* under = childAt(event->pos());
  if (under != nullptr && qobject_cast<QGroupBox*>(under) == nullptr &&
      qobject_cast<QLabel*>(under) == nullptr) {
    event->ignore();
    return;
  }
  QMenu menu(this);
  menu.addAction(m_aboutAction);
  menu.exec(event->globalPos());
}

void CMainDlg::OnAbout() {
  dialogs::CAboutDlg about(this);
  about.DoModal();
}

void CMainDlg::OnExit() {
  m_session.DeviceTable.ClearDeviceTable();
  m_session.CloseTransport();
  m_endingQuietly = true;
  done(QDialog::Accepted);
}

}  // namespace corvane::app
