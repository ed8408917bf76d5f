// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gio_support_linux.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace corvane::platform::gio {
namespace {

constexpr std::chrono::milliseconds kCancelGrace{2000};

// The thread that makes every GIO call of the process, running its own main context from its
// first use to the end of the process.
class GioThread {
 public:
  static GioThread& Instance() {
    static GioThread instance;
    return instance;
  }

  ~GioThread() {
    g_main_loop_quit(loop_);
    if (thread_.joinable()) thread_.join();
    g_main_loop_unref(loop_);
    g_main_context_unref(context_);
  }

  // Keeps the call alive until it finishes, then starts it on the GIO thread.
  void Start(const std::shared_ptr<Call>& call) {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      pending_.push_back(call);
    }
    g_main_context_invoke(context_, StartCall, call.get());
  }

  void Release(Call* call) {
    std::shared_ptr<Call> last;  // dropped after the lock
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto found = std::find_if(pending_.begin(), pending_.end(),
                                    [&](const auto& held) { return held.get() == call; });
    if (found == pending_.end()) return;
    last = std::move(*found);
    pending_.erase(found);
  }

  // A call that did not even start within its bound found the thread held up inside GIO (a
  // session bus that never answers a synchronous request, say); until the thread comes back,
  // further calls fail at once instead of each waiting out its bound.
  bool HeldUp() const { return heldUp_.load(std::memory_order_relaxed); }
  void MarkHeldUp() { heldUp_.store(true, std::memory_order_relaxed); }

 private:
  GioThread() : context_(g_main_context_new()), loop_(g_main_loop_new(context_, FALSE)) {
    thread_ = std::thread([this] {
      g_main_context_push_thread_default(context_);
      g_main_loop_run(loop_);
      g_main_context_pop_thread_default(context_);
    });
  }

  static gboolean StartCall(gpointer call) {
    GioThread& thread = Instance();
    // Everything the caller did before Start() is seen here: the lock makes it so, also to
    // tools that cannot see into GLib's own hand-over.
    { const std::lock_guard<std::mutex> lock(thread.mutex_); }
    thread.heldUp_.store(false, std::memory_order_relaxed);
    static_cast<Call*>(call)->MarkStarted();
    static_cast<Call*>(call)->Start();
    return G_SOURCE_REMOVE;
  }

  GMainContext* context_;
  GMainLoop* loop_;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::shared_ptr<Call>> pending_;
  std::atomic<bool> heldUp_{false};
};

}  // namespace

Call::Call() : cancellable_(g_cancellable_new()) {}

Call::~Call() {
  if (error_ != nullptr) g_error_free(error_);
}

void Call::Finish() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    done_ = true;
    finished_.notify_all();
  }
  GioThread::Instance().Release(this);
}

ErrorPtr Call::TakeError() {
  ErrorPtr taken(error_);
  error_ = nullptr;
  return taken;
}

bool Call::WaitFinished(std::chrono::milliseconds wait) {
  std::unique_lock<std::mutex> lock(mutex_);
  return finished_.wait_for(lock, wait, [this] { return done_; });
}

bool Run(const std::shared_ptr<Call>& call, std::chrono::milliseconds bound) {
  GioThread& thread = GioThread::Instance();
  if (thread.HeldUp()) return false;
  thread.Start(call);
  if (call->WaitFinished(bound)) return true;
  g_cancellable_cancel(call->cancellable());
  if (call->WaitFinished(kCancelGrace)) return true;
  if (!call->Started()) thread.MarkHeldUp();
  return false;
}

}  // namespace corvane::platform::gio
