// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// While blocking work (a search, a request, a file call) runs on another thread, the windows
// must keep painting but take no input: nothing the user does during the wait may act
// afterwards. WaitPumping is that wait.

#include <chrono>
#include <functional>

namespace corvane::dialogs {

// While one exists (they nest): busy cursor, and user input (keyboard, mouse, wheel, touch,
// close requests from the window manager) to any window is discarded. Pump() keeps windows
// repainting; input that arrives meanwhile reaches the discarding filter, not the windows.
class BusyScope {
 public:
  BusyScope();
  ~BusyScope();
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

  // Processes pending events (painting, timers, posted events) once.
  static void Pump();
  // True while input is being discarded (a scope exists and none is suspended).
  static bool IsDiscardingInput();
};

// Lifts an active BusyScope for a window the user must answer (a message box, a dialog),
// with the normal cursor; the busy state returns when it ends.
class BusySuspend {
 public:
  BusySuspend();
  ~BusySuspend();
  BusySuspend(const BusySuspend&) = delete;
  BusySuspend& operator=(const BusySuspend&) = delete;
};

// Waits, painting and discarding input like a BusyScope, until done() is true; done is asked
// every 10 ms on this thread.
void WaitPumping(const std::function<bool()>& done);

}  // namespace corvane::dialogs
