// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Answers the modal windows (message boxes, dialogs) that code under test opens with exec(),
// which would otherwise block the test.
//
//   ModalWatcher watcher;
//   watcher.Expect([](QWidget* modal) {
//     EXPECT_EQ(MessageText(modal), "Done");
//     ClickButton(modal, "OK");
//   });
//   window.RunSomethingThatShowsAMessage();
//   EXPECT_TRUE(watcher.AllDone());
//
// The watcher polls QApplication::activeModalWidget() from fresh single-shot timers (a
// repeating timer whose slot is still running in a nested exec() would not fire again). Each
// modal that appears and has not been handled gets the next scripted action once it is the
// active window (or after a short grace when it never becomes active); an action may
// itself open a nested modal, which the next action then answers. A watchdog fails the test
// and rejects any modal left open longer than the watchdog time (5 s by default), so a broken
// test cannot hang.

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <chrono>
#include <deque>
#include <functional>
#include <vector>

namespace corvane::testing {

class ModalWatcher : public QObject {
 public:
  using Action = std::function<void(QWidget* modal)>;

  explicit ModalWatcher(std::chrono::milliseconds watchdog = std::chrono::seconds(5));
  ~ModalWatcher() override;

  // Queues the action for the next modal that appears.
  void Expect(Action action);
  // Actions not run yet.
  int Pending() const { return static_cast<int>(actions_.size()); }
  bool AllDone() const { return actions_.empty(); }
  // Modals answered so far.
  int Handled() const { return handledCount_; }
  // Titles of the modals seen, in order (answered or rejected by the watchdog).
  const std::vector<QString>& SeenTitles() const { return seenTitles_; }

 private:
  struct Tracked {
    QPointer<QWidget> modal;
    std::chrono::steady_clock::time_point since;
    bool handled = false;
  };

  void SchedulePoll();
  void Poll();
  Tracked& Track(QWidget* modal);
  void EnforceWatchdog();

  std::chrono::milliseconds watchdog_;
  std::deque<Action> actions_;
  std::vector<Tracked> tracked_;
  std::vector<QString> seenTitles_;
  int handledCount_ = 0;
  bool stopped_ = false;
};

// Helpers for actions.
QString MessageText(QWidget* modal);  // QMessageBox text, else empty
QMessageBox::Icon MessageIcon(QWidget* modal);
// Clicks the visible button whose text (without '&') is text; fails the test when none.
void ClickButton(QWidget* modal, const QString& text);
// Rejects a dialog (or closes another modal widget).
void RejectModal(QWidget* modal);

}  // namespace corvane::testing
