// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/busy_wait.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <vector>

namespace corvane::dialogs {

namespace {

bool IsUserInput(const QObject* receiver, const QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
      return true;
    case QEvent::Close:
      // The window manager's close request reaches the widget as a spontaneous close event;
      // close() called by the program does not, and must keep working.
      return receiver->isWidgetType() && event->spontaneous();
    default:
      return false;
  }
}

class InputDiscarder : public QObject {
 public:
  bool eventFilter(QObject* receiver, QEvent* event) override {
    if (!IsUserInput(receiver, event)) return false;
    // A close event left accepted would still close the window.
    event->ignore();
    return true;
  }
};

InputDiscarder& Discarder() {
  static InputDiscarder discarder;
  return discarder;
}

// Busy scopes and suspensions nest strictly; the innermost one decides.
struct Layer {
  bool busy;
  bool pushedCursor;
};

std::vector<Layer>& Layers() {
  static std::vector<Layer> layers;
  return layers;
}

bool Discarding() {
  return !Layers().empty() && Layers().back().busy;
}

void UpdateFilter(bool wasDiscarding) {
  const bool discarding = Discarding();
  if (discarding == wasDiscarding) return;
  if (discarding) {
    QCoreApplication::instance()->installEventFilter(&Discarder());
  } else {
    QCoreApplication::instance()->removeEventFilter(&Discarder());
  }
}

void PushLayer(bool busy) {
  const bool was = Discarding();
  // A suspension outside any wait changes nothing, not even the cursor.
  const bool pushCursor = busy || was;
  if (pushCursor) QApplication::setOverrideCursor(QCursor(busy ? Qt::WaitCursor : Qt::ArrowCursor));
  Layers().push_back(Layer{busy, pushCursor});
  UpdateFilter(was);
}

void PopLayer() {
  const bool was = Discarding();
  const Layer top = Layers().back();
  Layers().pop_back();
  if (top.pushedCursor) QApplication::restoreOverrideCursor();
  UpdateFilter(was);
}

}  // namespace

BusyScope::BusyScope() {
  PushLayer(true);
}

BusyScope::~BusyScope() {
  // Input that arrived during the last slice of the wait is discarded too.
  Pump();
  PopLayer();
}

void BusyScope::Pump() {
  // Outside a wait, user input is held back rather than handled in the middle of a request,
  // where it could start another request on the same transport.
  QCoreApplication::processEvents(Discarding() ? QEventLoop::AllEvents
                                               : QEventLoop::ExcludeUserInputEvents);
}

bool BusyScope::IsDiscardingInput() {
  return Discarding();
}

BusySuspend::BusySuspend() {
  PushLayer(false);
}

BusySuspend::~BusySuspend() {
  PopLayer();
}

void WaitPumping(const std::function<bool()>& done) {
  const BusyScope busy;
  if (done()) return;
  QEventLoop loop;
  QTimer poll;
  poll.setInterval(std::chrono::milliseconds(10));
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (done()) loop.quit();
  });
  poll.start();
  loop.exec(QEventLoop::AllEvents);
}

}  // namespace corvane::dialogs
