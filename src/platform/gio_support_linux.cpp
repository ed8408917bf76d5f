// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gio_support_linux.h"

namespace corvane::platform::gio {
namespace {

constexpr std::chrono::milliseconds kCancelGrace{2000};

gboolean CancelOnTimeout(gpointer cancellable) {
  g_cancellable_cancel(static_cast<GCancellable*>(cancellable));
  return G_SOURCE_REMOVE;
}

gboolean MarkExpired(gpointer expired) {
  *static_cast<bool*>(expired) = true;
  return G_SOURCE_REMOVE;
}

struct SourceDeleter {
  void operator()(GSource* source) const {
    g_source_destroy(source);
    g_source_unref(source);
  }
};
using SourcePtr = std::unique_ptr<GSource, SourceDeleter>;

SourcePtr AddTimer(GMainContext* context, std::chrono::milliseconds delay, GSourceFunc call,
                   gpointer data) {
  SourcePtr source(g_timeout_source_new(static_cast<guint>(delay.count())));
  g_source_set_callback(source.get(), call, data, nullptr);
  g_source_attach(source.get(), context);
  return source;
}

}  // namespace

PrivateContext::PrivateContext() : context_(g_main_context_new()) {
  g_main_context_push_thread_default(context_);
}

PrivateContext::~PrivateContext() {
  g_main_context_pop_thread_default(context_);
  g_main_context_unref(context_);
}

bool PrivateContext::RunUntil(const std::function<bool()>& finished, GCancellable* cancellable,
                              std::chrono::milliseconds bound) {
  const SourcePtr timer = AddTimer(context_, bound, CancelOnTimeout, cancellable);
  bool expired = false;
  const SourcePtr grace = AddTimer(context_, bound + kCancelGrace, MarkExpired, &expired);
  while (!finished() && !expired) g_main_context_iteration(context_, TRUE);
  return finished();
}

}  // namespace corvane::platform::gio
