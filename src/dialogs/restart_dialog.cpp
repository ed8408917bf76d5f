// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/restart_dialog.h"

#include "dialogs/texts.h"

#include <QLabel>
#include <QMetaObject>
#include <QPushButton>
#include <QTimerEvent>

namespace corvane::dialogs {

namespace {

constexpr int kMinimum = 1;
constexpr int kMaximum = 100;

}  // namespace

CRestartDlg::CRestartDlg(std::atomic<int>& languageResult, QWidget* parent, Timing timing)
    // A blank, not an empty, title: Qt shows the program's file name for an empty one.
    : TemplateDialog(Template{220, 112, QStringLiteral(" "), kCaptionOnly}, parent),
      languageResult_(languageResult),
      timing_(timing) {
  // Present as in the template but never shown: there is no way to end the wait early.
  auto* cancel = new QPushButton(text::Shown(text::kCancel), this);  // owned by the dialog
  SetControlId(cancel, 2);
  Place(cancel, 77, 81, 50, 14);
  cancel->setAutoDefault(false);
  cancel->hide();

  auto* message = new QLabel(text::Shown(text::kRestarting), this);
  Place(message, 29, 26, 168, 8);

  m_progress = new QProgressBar(this);
  SetControlId(m_progress, kIdProgress);
  m_progress->setTextVisible(false);
  m_progress->setRange(kMinimum, kMaximum);
  m_progress->setValue(kMinimum);
  Place(m_progress, 29, 47, 151, 12);
}

CRestartDlg::~CRestartDlg() {
  StopWorker();
}

void CRestartDlg::OnInitDialog() {
  worker_ = std::thread([this] { RunWorker(); });
  // Precise: the close must come after the worker's last step, not up to 5 % early.
  closeTimer_ = startTimer(timing_.close, Qt::PreciseTimer);
}

void CRestartDlg::RunWorker() {
  const int steps = std::max(timing_.steps, 1);
  std::unique_lock lock(mutex_);
  for (int step = 1; step <= steps; ++step) {
    // Spread the range over the steps: with 99 steps this is one per step, up to 100.
    const int value = kMinimum + (kMaximum - kMinimum) * step / steps;
    QMetaObject::invokeMethod(
        this, [this, value] { ShowStep(value); }, Qt::QueuedConnection);
    if (wake_.wait_for(lock, timing_.step, [this] { return stopRequested_; })) return;
  }
  // Under the lock: a close that has begun to stop the worker sees the flag untouched.
  languageResult_.store(0);
}

void CRestartDlg::ShowStep(int value) {
  m_progress->setValue(value);
}

void CRestartDlg::StopWorker() {
  {
    const std::lock_guard lock(mutex_);
    stopRequested_ = true;
  }
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void CRestartDlg::done(int result) {
  StopWorker();
  if (closeTimer_ != 0) {
    killTimer(closeTimer_);
    closeTimer_ = 0;
  }
  TemplateDialog::done(result);
}

void CRestartDlg::timerEvent(QTimerEvent* /*event*/) {
  done(QDialog::Rejected);
}

}  // namespace corvane::dialogs
