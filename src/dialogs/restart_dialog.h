// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Holds the user while a device restarts after a language installation: a progress bar that a
// worker fills step by step, and a timer that closes the dialog. The user cannot end the wait.
// When the worker has run to its end it sets the language result to 0, which tells the opener
// that the device has restarted.
//
// The worker never touches the dialog: it sleeps on a condition variable and posts queued
// updates. Closing the dialog stops and joins it, so once DoModal returns nothing writes the
// language result any more; a worker cut short by the close leaves it as it was.

#include <QProgressBar>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "dialogs/template_dialog.h"

namespace corvane::dialogs {

// 99 steps of 900 ms end at 89.1 s, before the 90 s close.
struct RestartTiming {
  std::chrono::milliseconds step{900};
  int steps = 99;
  std::chrono::milliseconds close{90000};
};

class CRestartDlg : public TemplateDialog {
  Q_OBJECT

 public:
  static constexpr int kIdProgress = 1029;

  using Timing = RestartTiming;

  explicit CRestartDlg(std::atomic<int>& languageResult, QWidget* parent = nullptr,
                       Timing timing = {});
  ~CRestartDlg() override;

  QProgressBar* Progress() const { return m_progress; }

  // Ends the dialog: stops and joins the worker first.
  void done(int result) override;
  // Enter and Escape do nothing.
  void accept() override {}
  void reject() override {}

 protected:
  void OnInitDialog() override;
  // Any timer event ends the dialog.
  void timerEvent(QTimerEvent* event) override;

 private:
  void RunWorker();
  void StopWorker();
  void ShowStep(int value);

  std::atomic<int>& languageResult_;
  Timing timing_;
  QProgressBar* m_progress = nullptr;
  int closeTimer_ = 0;

  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopRequested_ = false;  // guarded by mutex_
  std::thread worker_;
};

}  // namespace corvane::dialogs
