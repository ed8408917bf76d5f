// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Ownership of GLib objects, and GIO's asynchronous calls made on one thread of our own with a
// main context of its own, so that they work the same under a Qt window and on the command
// line, and every wait for them is bounded.
//
// GIO keeps state from the context a call was first made in (GVfs answers later calls there),
// so every call of the process goes through the one GIO thread, whose context always runs.

#include <gio/gio.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace corvane::platform::gio {

template <typename T>
struct ObjectDeleter {
  void operator()(T* object) const { g_object_unref(object); }
};
template <typename T>
using ObjectPtr = std::unique_ptr<T, ObjectDeleter<T>>;

struct ErrorDeleter {
  void operator()(GError* error) const { g_error_free(error); }
};
using ErrorPtr = std::unique_ptr<GError, ErrorDeleter>;

struct FreeDeleter {
  void operator()(void* memory) const { g_free(memory); }
};
using TextPtr = std::unique_ptr<char, FreeDeleter>;

// One GIO call. Start() runs on the GIO thread and begins it; the call's completion (on the
// GIO thread too) ends with Finish(). Until then the GIO thread keeps the call alive, also when
// its caller has stopped waiting.
class Call {
 public:
  Call();
  virtual ~Call();
  Call(const Call&) = delete;
  Call& operator=(const Call&) = delete;

  virtual void Start() = 0;
  // The last thing a completion callback does: the call may be gone afterwards.
  void Finish();

  GCancellable* cancellable() const { return cancellable_.get(); }
  // Where the call's GError goes.
  GError** error() { return &error_; }
  // Takes the call's error; empty when it succeeded.
  ErrorPtr TakeError();
  // Waits up to wait for Finish(); true when it came.
  bool WaitFinished(std::chrono::milliseconds wait);
  // Whether the GIO thread has begun the call.
  bool Started() const { return started_.load(std::memory_order_acquire); }
  void MarkStarted() { started_.store(true, std::memory_order_release); }

 private:
  ObjectPtr<GCancellable> cancellable_;
  GError* error_ = nullptr;
  std::mutex mutex_;
  std::condition_variable finished_;
  bool done_ = false;
  std::atomic<bool> started_{false};
};

// Runs the call on the GIO thread and waits for it within the bound. At the bound the call is
// cancelled and gets a short grace to end. False when it has not finished even then; its
// results must not be read. While the GIO thread is held up inside a call that never returns,
// every call is false at once.
bool Run(const std::shared_ptr<Call>& call, std::chrono::milliseconds bound);

}  // namespace corvane::platform::gio
