// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/modal_watcher.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <algorithm>
#include <utility>

namespace corvane::testing {

namespace {

constexpr std::chrono::milliseconds kPollInterval{10};
// How long a new modal may take to become the active window before its action runs anyway
// (without a window manager, X11 windows never become active).
constexpr std::chrono::milliseconds kActivationGrace{500};

QString Describe(QWidget* modal) {
  QString text = QStringLiteral("\"%1\"").arg(modal->windowTitle());
  const QString message = MessageText(modal);
  if (!message.isEmpty()) text += QStringLiteral(": ") + message;
  return text;
}

}  // namespace

ModalWatcher::ModalWatcher(std::chrono::milliseconds watchdog) : watchdog_(watchdog) {
  SchedulePoll();
}

ModalWatcher::~ModalWatcher() {
  stopped_ = true;
}

void ModalWatcher::Expect(Action action) {
  actions_.push_back(std::move(action));
}

void ModalWatcher::SchedulePoll() {
  if (stopped_) return;
  QTimer::singleShot(kPollInterval, this, [this] { Poll(); });
}

ModalWatcher::Tracked& ModalWatcher::Track(QWidget* modal) {
  for (Tracked& entry : tracked_) {
    if (entry.modal == modal) return entry;
  }
  seenTitles_.push_back(modal->windowTitle());
  tracked_.push_back(Tracked{modal, std::chrono::steady_clock::now(), false});
  return tracked_.back();
}

void ModalWatcher::Poll() {
  // The next poll is armed first: the action below may enter a nested exec().
  SchedulePoll();
  // Forget modals that have closed, so a dialog shown again counts as new.
  std::erase_if(tracked_, [](const Tracked& entry) {
    return entry.modal.isNull() || !entry.modal->isVisible();
  });
  EnforceWatchdog();

  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr || !modal->isVisible()) return;
  Tracked& entry = Track(modal);
  if (entry.handled || actions_.empty()) return;
  const bool settling = std::chrono::steady_clock::now() - entry.since < kActivationGrace;
  if (!modal->isActiveWindow() && settling) return;
  entry.handled = true;
  Action action = std::move(actions_.front());
  actions_.pop_front();
  ++handledCount_;
  action(modal);
}

void ModalWatcher::EnforceWatchdog() {
  const auto now = std::chrono::steady_clock::now();
  for (Tracked& entry : tracked_) {
    if (now - entry.since < watchdog_) continue;
    ADD_FAILURE() << "modal window left open: " << Describe(entry.modal).toStdString();
    entry.since = now;  // one failure per watchdog period
    RejectModal(entry.modal);
  }
}

QString MessageText(QWidget* modal) {
  const auto* box = qobject_cast<QMessageBox*>(modal);
  return box != nullptr ? box->text() : QString();
}

QMessageBox::Icon MessageIcon(QWidget* modal) {
  const auto* box = qobject_cast<QMessageBox*>(modal);
  return box != nullptr ? box->icon() : QMessageBox::NoIcon;
}

void ClickButton(QWidget* modal, const QString& text) {
  const auto buttons = modal->findChildren<QAbstractButton*>();
  const auto match = std::find_if(buttons.begin(), buttons.end(), [&](QAbstractButton* button) {
    return button->isVisible() && button->text().remove(QLatin1Char('&')) == text;
  });
  if (match == buttons.end()) {
    ADD_FAILURE() << "no button \"" << text.toStdString() << "\" in "
                  << Describe(modal).toStdString();
    RejectModal(modal);
    return;
  }
  (*match)->click();
}

void RejectModal(QWidget* modal) {
  if (auto* dialog = qobject_cast<QDialog*>(modal)) {
    dialog->reject();
    if (dialog->isVisible()) dialog->done(QDialog::Rejected);
  } else {
    modal->close();
  }
}

}  // namespace corvane::testing
