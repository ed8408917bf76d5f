// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gvfs_shares_linux.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/gio_support_linux.h"

namespace corvane::platform::gvfs {
namespace {

using gio::ObjectPtr;
using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

struct DirCloser {
  void operator()(DIR* listing) const { ::closedir(listing); }
};

milliseconds Left(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? left : milliseconds{1};
}

Outcome FromError(const GError* error) {
  if (error == nullptr) return Outcome::kOk;
  if (error->domain != G_IO_ERROR) return Outcome::kFailed;
  switch (error->code) {
    case G_IO_ERROR_ALREADY_MOUNTED:
      return Outcome::kOk;
    case G_IO_ERROR_FAILED_HANDLED:  // we declined to answer a second password question
    case G_IO_ERROR_PERMISSION_DENIED:
      return Outcome::kLoginNeeded;
    case G_IO_ERROR_CANCELLED:  // only our timer cancels
    case G_IO_ERROR_TIMED_OUT:
      return Outcome::kTimedOut;
    case G_IO_ERROR_NOT_SUPPORTED:
      return Outcome::kUnsupported;
    case G_IO_ERROR_BUSY:
      return Outcome::kBusy;
    case G_IO_ERROR_NOT_MOUNTED:
      return Outcome::kNotMounted;
    default:
      return Outcome::kFailed;
  }
}

// The state of one asynchronous call. When a call does not finish even after its
// cancellation, GIO may still write here later, so such a state is never freed.
struct Call {
  bool done = false;
  gio::ErrorSlot error;
  ObjectPtr<GMount> mount;
  Login login;
  int passwordQuestions = 0;
};
using CallPtr = std::unique_ptr<Call>;

bool Run(gio::PrivateContext& context, CallPtr& call, GCancellable* cancellable,
         milliseconds bound) {
  Call* state = call.get();
  if (context.RunUntil([state] { return state->done; }, cancellable, bound)) return true;
  static_cast<void>(call.release());
  return false;
}

// Anonymous when no user is given, else the user's credentials, once: a second question
// means the answer was refused, and asking again would only repeat it.
void AnswerPasswordQuestion(GMountOperation* operation, const char* /*message*/,
                            const char* /*defaultUser*/, const char* defaultDomain,
                            GAskPasswordFlags flags, gpointer data) {
  Call& call = *static_cast<Call*>(data);
  const bool anonymous = call.login.user.empty();
  if (call.passwordQuestions++ > 0 ||
      (anonymous && (flags & G_ASK_PASSWORD_ANONYMOUS_SUPPORTED) == 0)) {
    g_mount_operation_reply(operation, G_MOUNT_OPERATION_ABORTED);
    return;
  }
  g_mount_operation_set_anonymous(operation, anonymous);
  if (!anonymous) {
    g_mount_operation_set_username(operation, call.login.user.c_str());
    g_mount_operation_set_password(operation, call.login.password.c_str());
    if (defaultDomain != nullptr) g_mount_operation_set_domain(operation, defaultDomain);
    g_mount_operation_set_password_save(operation, G_PASSWORD_SAVE_NEVER);
  }
  g_mount_operation_reply(operation, G_MOUNT_OPERATION_HANDLED);
}

void MountFinished(GObject* source, GAsyncResult* result, gpointer data) {
  Call& call = *static_cast<Call*>(data);
  g_file_mount_enclosing_volume_finish(G_FILE(source), result, call.error.out());
  call.done = true;
}

void MountFound(GObject* source, GAsyncResult* result, gpointer data) {
  Call& call = *static_cast<Call*>(data);
  call.mount.reset(g_file_find_enclosing_mount_finish(G_FILE(source), result, call.error.out()));
  call.done = true;
}

void UnmountFinished(GObject* source, GAsyncResult* result, gpointer data) {
  Call& call = *static_cast<Call*>(data);
  g_mount_unmount_with_operation_finish(G_MOUNT(source), result, call.error.out());
  call.done = true;
}

void BusFound(GObject* /*source*/, GAsyncResult* result, gpointer data) {
  Call& call = *static_cast<Call*>(data);
  ObjectPtr<GDBusConnection> bus(g_bus_get_finish(result, call.error.out()));
  call.done = true;
}

// The mount holding uri, or the outcome that explains why there is none.
Outcome FindMount(gio::PrivateContext& context, const std::string& uri, milliseconds bound,
                  ObjectPtr<GMount>& mount) {
  const ObjectPtr<GFile> file(g_file_new_for_uri(uri.c_str()));
  const ObjectPtr<GCancellable> cancellable(g_cancellable_new());
  CallPtr call = std::make_unique<Call>();
  g_file_find_enclosing_mount_async(file.get(), G_PRIORITY_DEFAULT, cancellable.get(), MountFound,
                                    call.get());
  if (!Run(context, call, cancellable.get(), bound)) return Outcome::kTimedOut;
  const gio::ErrorPtr error = call->error.take();
  if (!call->mount) return error ? FromError(error.get()) : Outcome::kNotMounted;
  mount = std::move(call->mount);
  return Outcome::kOk;
}

bool SessionBusNamed() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address != nullptr && *address != '\0') return true;
  // GDBus also finds the bus at $XDG_RUNTIME_DIR/bus, where a login session keeps it.
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime == nullptr || *runtime == '\0') return false;
  struct stat info {};
  return ::stat((std::string(runtime) + "/bus").c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

bool HandlesSmb(GVfs* vfs) {
  if (!g_vfs_is_active(vfs)) return false;
  const gchar* const* schemes = g_vfs_get_supported_uri_schemes(vfs);
  for (; schemes != nullptr && *schemes != nullptr; ++schemes) {
    if (std::strcmp(*schemes, "smb") == 0) return true;
  }
  return false;
}

}  // namespace

std::string SessionProblem(milliseconds bound) {
  if (!SessionBusNamed()) {
    return "drive letters need a D-Bus session bus, and there is none here "
           "(DBUS_SESSION_BUS_ADDRESS is not set)";
  }
  gio::PrivateContext context;
  const ObjectPtr<GCancellable> cancellable(g_cancellable_new());
  CallPtr call = std::make_unique<Call>();
  g_bus_get(G_BUS_TYPE_SESSION, cancellable.get(), BusFound, call.get());
  if (!Run(context, call, cancellable.get(), bound)) {
    return "drive letters need a D-Bus session bus, and the session bus does not answer";
  }
  if (const gio::ErrorPtr error = call->error.take()) {
    return std::string("drive letters need a D-Bus session bus, and connecting to it failed: ") +
           error->message;
  }
  if (!HandlesSmb(g_vfs_get_default())) {
    return "drive letters need GVfs with its SMB backend (Debian packages gvfs and "
           "gvfs-backends)";
  }
  return {};
}

Outcome Mount(const std::string& uri, const Login& login, milliseconds bound) {
  gio::PrivateContext context;
  const ObjectPtr<GFile> file(g_file_new_for_uri(uri.c_str()));
  const ObjectPtr<GMountOperation> operation(g_mount_operation_new());
  const ObjectPtr<GCancellable> cancellable(g_cancellable_new());
  CallPtr call = std::make_unique<Call>();
  call->login = login;
  g_signal_connect(operation.get(), "ask-password", G_CALLBACK(AnswerPasswordQuestion), call.get());
  g_file_mount_enclosing_volume(file.get(), G_MOUNT_MOUNT_NONE, operation.get(), cancellable.get(),
                                MountFinished, call.get());
  if (!Run(context, call, cancellable.get(), bound)) return Outcome::kTimedOut;
  g_signal_handlers_disconnect_by_data(operation.get(), call.get());
  return FromError(call->error.take().get());
}

std::optional<Mounted> Locate(const std::string& uri, milliseconds bound) {
  gio::PrivateContext context;
  ObjectPtr<GMount> mount;
  if (FindMount(context, uri, bound, mount) != Outcome::kOk) return std::nullopt;
  const ObjectPtr<GFile> root(g_mount_get_root(mount.get()));
  const gio::TextPtr rootUri(g_file_get_uri(root.get()));
  const gio::TextPtr folder(g_file_get_path(root.get()));
  return Mounted{rootUri ? rootUri.get() : uri, folder ? folder.get() : ""};
}

Outcome Unmount(const std::string& uri, bool force, milliseconds bound) {
  const Clock::time_point deadline = Clock::now() + bound;
  gio::PrivateContext context;
  ObjectPtr<GMount> mount;
  if (const Outcome found = FindMount(context, uri, bound, mount); found != Outcome::kOk) {
    return found;
  }
  const ObjectPtr<GCancellable> cancellable(g_cancellable_new());
  CallPtr call = std::make_unique<Call>();
  g_mount_unmount_with_operation(mount.get(), force ? G_MOUNT_UNMOUNT_FORCE : G_MOUNT_UNMOUNT_NONE,
                                 nullptr, cancellable.get(), UnmountFinished, call.get());
  if (!Run(context, call, cancellable.get(), Left(deadline))) return Outcome::kTimedOut;
  return FromError(call->error.take().get());
}

bool FolderListed(const std::string& folder) {
  const std::size_t slash = folder.rfind('/');
  if (slash == std::string::npos || slash + 1 == folder.size()) return false;
  const std::string parent = slash == 0 ? "/" : folder.substr(0, slash);
  const std::string name = folder.substr(slash + 1);
  const std::unique_ptr<DIR, DirCloser> listing(::opendir(parent.c_str()));
  if (!listing) return false;
  while (const dirent* entry = ::readdir(listing.get())) {
    if (name == entry->d_name) return true;
  }
  return false;
}

}  // namespace corvane::platform::gvfs
