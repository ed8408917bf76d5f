// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Ownership of GLib objects, and bounded waits for GIO's asynchronous calls on a main context
// of our own, so that they work the same from a Qt program and from the command line.

#include <gio/gio.h>

#include <chrono>
#include <functional>
#include <memory>

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

// A main context that is the calling thread's default while this object lives: GIO delivers
// the results of calls started meanwhile here, and nowhere else (not to the window's loop).
class PrivateContext {
 public:
  PrivateContext();
  ~PrivateContext();
  PrivateContext(const PrivateContext&) = delete;
  PrivateContext& operator=(const PrivateContext&) = delete;

  // Runs the context until finished() holds. When the bound passes first, cancellable is
  // cancelled and the call gets a short grace to finish with G_IO_ERROR_CANCELLED. False
  // when it still has not finished; the caller must then keep its call's data alive for good.
  bool RunUntil(const std::function<bool()>& finished, GCancellable* cancellable,
                std::chrono::milliseconds bound);

 private:
  GMainContext* context_;
};

// Gives GError's owner back to the caller after a call that fills a GError**.
class ErrorSlot {
 public:
  GError** out() { return &error_; }
  ErrorPtr take() {
    ErrorPtr owned(error_);
    error_ = nullptr;
    return owned;
  }
  ~ErrorSlot() {
    if (error_ != nullptr) g_error_free(error_);
  }

 private:
  GError* error_ = nullptr;
};

}  // namespace corvane::platform::gio
