// SPDX-License-Identifier: GPL-3.0-or-later
// The main window on a real X server with a window manager (scripts/x11-session.sh), used
// through the X server as the user uses it (xdotool): pop-up lists, the expose events their
// closing causes, and the keyboard focus, none of which the offscreen platform has.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <memory>

#include "app/main_dlg.h"
#include "app/main_dlg_template.h"
#include "dialogs/ip_address_edit.h"
#include "platform/testing/fake_drive_mappings.h"
#include "window_test_support.h"

namespace corvane::app {
namespace {

void XInput(const QStringList& arguments) {
  ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), arguments), 0)
      << arguments.join(' ').toStdString();
}

void ClickAt(const QWidget* widget, QPoint local) {
  const QPoint at = widget->mapToGlobal(local);
  XInput({"mousemove", "--sync", QString::number(at.x()), QString::number(at.y()), "click", "1"});
}

void PressKey(const char* key) {
  XInput({"key", key});
}

// Counts the expose events that reach a window.
class ExposeCounter : public QObject {
 public:
  explicit ExposeCounter(QWindow* window) { window->installEventFilter(this); }
  int count() const { return count_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose) ++count_;
    return QObject::eventFilter(watched, event);
  }

 private:
  int count_ = 0;
};

class MainWindowX11Test : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb")) << "needs an X server";
    test::UseProgramLook();
    session.OpenTransport({});  // no interface: every search is empty at once
    window = std::make_unique<CMainDlg>(session, drives);
    window->InitDialog();
    window->RunFirstSearch();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }

  template <typename T>
  T* Item(int controlId) {
    return dialogs::FindControl<T>(window.get(), controlId);
  }
  static QWidget* Focused() { return QApplication::focusWidget(); }

  // Opens the combo's list with a click and returns the list's window once it shows.
  static QWidget* OpenList(QComboBox* combo) {
    ClickAt(combo, combo->rect().center());
    QWidget* popup = combo->view()->window();
    EXPECT_TRUE(QTest::qWaitFor([&] { return popup->isVisible(); }));
    EXPECT_TRUE(QTest::qWaitForWindowExposed(popup));
    return popup;
  }

  protocol::Session session;
  platform::testing::FakeDriveMappings drives;
  std::unique_ptr<CMainDlg> window;
};

TEST_F(MainWindowX11Test, ALetterPickedWithTheMouseStaysWhenTheListClosesOverTheWindow) {
  auto* combo = Item<QComboBox>(id::kDrive);
  ASSERT_EQ(combo->currentText(), QStringLiteral("D:"));
  QWidget* popup = OpenList(combo);
  const ExposeCounter exposes(window->windowHandle());
  QAbstractItemView* list = combo->view();
  ClickAt(list->viewport(), list->visualRect(combo->model()->index(3, 0)).center());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !popup->isVisible() && exposes.count() > 0; }))
      << "closing the list exposed nothing of the window";
  QCoreApplication::processEvents();  // the rescan that the expose asked for
  EXPECT_EQ(combo->currentText().toStdString(), "G:");
}

TEST_F(MainWindowX11Test, TheDriveListOpensBelowTheBoxAsHighAsItsTemplateSays) {
  auto* combo = Item<QComboBox>(id::kDrive);
  ASSERT_EQ(combo->count(), 23);
  QWidget* popup = OpenList(combo);
  EXPECT_GE(popup->geometry().top(), combo->mapToGlobal(combo->rect().bottomLeft()).y());
  // 110 dialog units less the closed box: 144 pixels, whole rows with a scroll bar.
  EXPECT_LE(popup->height(), 150);
  EXPECT_GE(popup->height(), 120);
  EXPECT_TRUE(combo->view()->verticalScrollBar()->isVisible());
  PressKey("Escape");
  EXPECT_TRUE(QTest::qWaitFor([&] { return !popup->isVisible(); }));
}

TEST_F(MainWindowX11Test, FocusIsBackOnSearchDeviceAfterASearch) {
  auto* search = Item<QPushButton>(id::kSearch);
  QSignalSpy searches(search, &QPushButton::clicked);
  ClickAt(search, search->rect().center());
  ASSERT_TRUE(QTest::qWaitFor([&] { return searches.count() == 1; }));
  EXPECT_EQ(Focused(), search);
}

TEST_F(MainWindowX11Test, TabPassesEachAddressControlAsOneStop) {
  auto* address = Item<dialogs::IpAddressEdit>(id::kIpAddress);
  auto* netmask = Item<dialogs::IpAddressEdit>(id::kNetmask);
  ClickAt(address->Field(0), address->Field(0)->rect().center());
  ASSERT_TRUE(QTest::qWaitFor([&] { return Focused() == address->Field(0); }));
  PressKey("Tab");
  EXPECT_TRUE(QTest::qWaitFor([&] { return Focused() == netmask->Field(0); }, 2000));
  PressKey("shift+Tab");
  EXPECT_TRUE(QTest::qWaitFor([&] { return Focused() == address->Field(0); }, 2000));
}

}  // namespace
}  // namespace corvane::app
