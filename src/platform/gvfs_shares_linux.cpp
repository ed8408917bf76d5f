// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gvfs_shares_linux.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <ctime>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

#include "platform/gio_support_linux.h"
#include "platform/translation.h"

namespace corvane::platform::gvfs {
namespace {

using gio::ObjectPtr;
using std::chrono::milliseconds;

// How much longer than its own wait a listing child may take to report before it is killed.
constexpr milliseconds kChildGrace{500};

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

class MountCall : public gio::Call {
 public:
  MountCall(std::string uri, Credentials login) : uri_(std::move(uri)), login_(std::move(login)) {}

  void Start() override {
    file_.reset(g_file_new_for_uri(uri_.c_str()));
    operation_.reset(g_mount_operation_new());
    g_signal_connect(operation_.get(), "ask-password", G_CALLBACK(AnswerPasswordQuestion), this);
    g_file_mount_enclosing_volume(file_.get(), G_MOUNT_MOUNT_NONE, operation_.get(), cancellable(),
                                  Finished, this);
  }

 private:
  // Anonymous when no user is given, else the user's credentials, once: a second question
  // means the answer was refused, and asking again would only repeat it.
  static void AnswerPasswordQuestion(GMountOperation* operation, const char* /*message*/,
                                     const char* /*defaultUser*/, const char* defaultDomain,
                                     GAskPasswordFlags flags, gpointer data) {
    MountCall& call = *static_cast<MountCall*>(data);
    const bool anonymous = call.login_.user.empty();
    if (call.questions_++ > 0 || (anonymous && (flags & G_ASK_PASSWORD_ANONYMOUS_SUPPORTED) == 0)) {
      g_mount_operation_reply(operation, G_MOUNT_OPERATION_ABORTED);
      return;
    }
    g_mount_operation_set_anonymous(operation, anonymous);
    if (!anonymous) {
      g_mount_operation_set_username(operation, std::string(call.login_.user.view()).c_str());
      std::string password(call.login_.password.view());
      g_mount_operation_set_password(operation, password.c_str());
      SecretText::Wipe(password);
      if (defaultDomain != nullptr) g_mount_operation_set_domain(operation, defaultDomain);
      g_mount_operation_set_password_save(operation, G_PASSWORD_SAVE_NEVER);
    }
    call.login_ = {};  // asked once only: a second question is refused
    g_mount_operation_reply(operation, G_MOUNT_OPERATION_HANDLED);
  }

  static void Finished(GObject* source, GAsyncResult* result, gpointer data) {
    MountCall& call = *static_cast<MountCall*>(data);
    g_file_mount_enclosing_volume_finish(G_FILE(source), result, call.error());
    g_signal_handlers_disconnect_by_data(call.operation_.get(), &call);
    call.Finish();
  }

  std::string uri_;
  Credentials login_;
  int questions_ = 0;
  ObjectPtr<GFile> file_;
  ObjectPtr<GMountOperation> operation_;
};

// The session's mounts as GIO's volume monitor knows them. Made on the GIO thread, whose
// running context keeps it current, and kept for the life of the process. (GIO's answer to
// "which mount holds this file" comes from a cache that can outlive the mount, and asked
// twice asynchronously it may never answer.)
GVolumeMonitor* SessionMounts() {
  static GVolumeMonitor* const monitor = g_volume_monitor_get();
  return monitor;
}

struct MountListDeleter {
  void operator()(GList* mounts) const { g_list_free_full(mounts, g_object_unref); }
};

Mounted Describe(GFile* root) {
  const gio::TextPtr rootUri(g_file_get_uri(root));
  const gio::TextPtr folder(g_file_get_path(root));
  return {rootUri ? rootUri.get() : "", folder ? folder.get() : ""};
}

// Finds the mount that holds a location and, when asked to, unmounts it; an unmount takes only
// the mount whose root is the location itself.
class MountLookup : public gio::Call {
 public:
  enum class Then { kDescribe, kUnmount, kForceUnmount };
  MountLookup(std::string uri, Then then) : uri_(std::move(uri)), then_(then) {}

  void Start() override {
    const ObjectPtr<GFile> file(g_file_new_for_uri(uri_.c_str()));
    const std::unique_ptr<GList, MountListDeleter> mounts(
        g_volume_monitor_get_mounts(SessionMounts()));
    for (const GList* entry = mounts.get(); entry != nullptr; entry = entry->next) {
      GMount* mount = G_MOUNT(entry->data);
      const ObjectPtr<GFile> root(g_mount_get_root(mount));
      const bool inside = then_ == Then::kDescribe && g_file_has_prefix(file.get(), root.get());
      if (g_file_equal(root.get(), file.get()) || inside) {
        mounted_ = Describe(root.get());
        mount_.reset(G_MOUNT(g_object_ref(mount)));
        break;
      }
    }
    if (!mount_ || then_ == Then::kDescribe) return Finish();
    const auto flags = then_ == Then::kForceUnmount ? G_MOUNT_UNMOUNT_FORCE : G_MOUNT_UNMOUNT_NONE;
    g_mount_unmount_with_operation(mount_.get(), flags, nullptr, cancellable(), Unmounted, this);
  }

  bool found() const { return mount_ != nullptr; }
  const Mounted& mounted() const { return mounted_; }

 private:
  static void Unmounted(GObject* source, GAsyncResult* result, gpointer data) {
    MountLookup& call = *static_cast<MountLookup*>(data);
    g_mount_unmount_with_operation_finish(G_MOUNT(source), result, call.error());
    call.Finish();
  }

  std::string uri_;
  Then then_;
  ObjectPtr<GMount> mount_;
  Mounted mounted_;
};

// Every mount of the session: GIO's own list, kept current by GVfs's announcements.
class MountList : public gio::Call {
 public:
  void Start() override {
    const std::unique_ptr<GList, MountListDeleter> mounts(
        g_volume_monitor_get_mounts(SessionMounts()));
    for (const GList* entry = mounts.get(); entry != nullptr; entry = entry->next) {
      const ObjectPtr<GFile> root(g_mount_get_root(G_MOUNT(entry->data)));
      mounts_.push_back(Describe(root.get()));
    }
    Finish();
  }

  std::vector<Mounted> TakeMounts() { return std::move(mounts_); }

 private:
  std::vector<Mounted> mounts_;
};

// Whether the session bus answers and GVfs can mount SMB shares; a bus that is named but does
// not answer must not hold the caller.
class SessionCheck : public gio::Call {
 public:
  void Start() override { g_bus_get(G_BUS_TYPE_SESSION, cancellable(), BusFound, this); }

  bool handlesSmb() const { return handlesSmb_; }

 private:
  static void BusFound(GObject* /*source*/, GAsyncResult* result, gpointer data) {
    SessionCheck& call = *static_cast<SessionCheck*>(data);
    const ObjectPtr<GDBusConnection> bus(g_bus_get_finish(result, call.error()));
    call.handlesSmb_ = bus && HandlesSmb(g_vfs_get_default());
    call.Finish();
  }

  static bool HandlesSmb(GVfs* vfs) {
    if (!g_vfs_is_active(vfs)) return false;
    const gchar* const* schemes = g_vfs_get_supported_uri_schemes(vfs);
    for (; schemes != nullptr && *schemes != nullptr; ++schemes) {
      if (std::strcmp(*schemes, "smb") == 0) return true;
    }
    return false;
  }

  bool handlesSmb_ = false;
};

bool SessionBusNamed() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address != nullptr && *address != '\0') return true;
  // GDBus also finds the bus at $XDG_RUNTIME_DIR/bus, where a login session keeps it.
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime == nullptr || *runtime == '\0') return false;
  struct stat info {};
  return ::stat((std::string(runtime) + "/bus").c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

// The child's side of WaitForFolder: system calls only (it is a copy of a process with
// threads), until the name's presence in the listing is as wanted or the time is up.
[[noreturn]] void ListInChild(const char* parent, const char* name, bool listed,
                              milliseconds wait) {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  const long long deadline = now.tv_sec * 1000LL + now.tv_nsec / 1000000 + wait.count();
  for (;;) {
    bool found = false;
    const int directory = ::open(parent, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    alignas(dirent64) char buffer[8192];
    for (ssize_t got = 0;
         directory >= 0 && (got = ::getdents64(directory, buffer, sizeof buffer)) > 0;) {
      for (ssize_t at = 0; at < got;) {
        const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
        found |= std::strcmp(entry->d_name, name) == 0;
        at += entry->d_reclen;
      }
    }
    if (directory >= 0) ::close(directory);
    if (found == listed) ::_exit(0);
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    if (now.tv_sec * 1000LL + now.tv_nsec / 1000000 >= deadline) ::_exit(1);
    const timespec pause{0, 10 * 1000 * 1000};
    ::nanosleep(&pause, nullptr);
  }
}

// A child stuck in a request its FUSE daemon never read ends at SIGKILL; one the daemon took and
// never answered cannot end before the daemon does, and is left to the system.
bool RunListingChild(const std::string& parent, const std::string& name, bool listed,
                     milliseconds wait) {
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) ListInChild(parent.c_str(), name.c_str(), listed, wait);
  const auto deadline = std::chrono::steady_clock::now() + wait + kChildGrace;
  int status = 0;
  pid_t ended = 0;
  while ((ended = ::waitpid(child, &status, WNOHANG)) == 0 &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(milliseconds(10));
  }
  if (ended == child) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  ::kill(child, SIGKILL);
  for (int tries = 0; tries < 100 && ::waitpid(child, &status, WNOHANG) == 0; ++tries) {
    std::this_thread::sleep_for(milliseconds(10));
  }
  return false;
}

}  // namespace

std::string SessionProblem(milliseconds bound) {
  if (!SessionBusNamed()) {
    return std::string(
        Tr("drive letters need a D-Bus session bus, and there is none here "
           "(DBUS_SESSION_BUS_ADDRESS is not set)"));
  }
  const auto call = std::make_shared<SessionCheck>();
  if (!gio::Run(call, bound)) {
    return std::string(
        Tr("drive letters need a D-Bus session bus, and the session bus does not answer"));
  }
  if (const gio::ErrorPtr error = call->TakeError()) {
    // TRANSLATORS: %s is the reason the desktop session's bus gave.
    return Fill(Tr("drive letters need a D-Bus session bus, and connecting to it failed: %s"),
                {error->message});
  }
  if (!call->handlesSmb()) {
    return std::string(
        Tr("drive letters need GVfs with its SMB backend (Debian packages gvfs and "
           "gvfs-backends)"));
  }
  return {};
}

Outcome Mount(const std::string& uri, Credentials login, milliseconds bound) {
  const auto call = std::make_shared<MountCall>(uri, std::move(login));
  if (!gio::Run(call, bound)) return Outcome::kTimedOut;
  return FromError(call->TakeError().get());
}

std::optional<Mounted> Locate(const std::string& uri, milliseconds bound,
                              milliseconds monitorWait) {
  const auto deadline = std::chrono::steady_clock::now() + std::min(bound, monitorWait);
  for (;;) {
    const auto call = std::make_shared<MountLookup>(uri, MountLookup::Then::kDescribe);
    if (!gio::Run(call, bound)) return std::nullopt;
    if (call->found()) return call->mounted();
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(milliseconds(10));
  }
}

Outcome Unmount(const std::string& rootUri, bool force, milliseconds bound) {
  const auto call = std::make_shared<MountLookup>(
      rootUri, force ? MountLookup::Then::kForceUnmount : MountLookup::Then::kUnmount);
  if (!gio::Run(call, bound)) return Outcome::kTimedOut;
  const gio::ErrorPtr error = call->TakeError();
  if (!call->found()) return error ? FromError(error.get()) : Outcome::kNotMounted;
  return FromError(error.get());
}

std::optional<std::vector<Mounted>> ListMounts(milliseconds bound) {
  // No session bus, no GVfs mounts: nothing to ask.
  if (!SessionBusNamed()) return std::vector<Mounted>{};
  const auto call = std::make_shared<MountList>();
  if (!gio::Run(call, bound)) return std::nullopt;
  return call->TakeMounts();
}

std::string MountRoot() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const std::string base =
      runtime != nullptr && *runtime != '\0' ? runtime : g_get_user_cache_dir();
  return base + "/gvfs";
}

bool WaitForFolder(const std::string& folder, bool listed, milliseconds wait) {
  const std::size_t slash = folder.rfind('/');
  if (slash == std::string::npos || slash + 1 == folder.size()) return false;
  const std::string parent = slash == 0 ? "/" : folder.substr(0, slash);
  const std::string name = folder.substr(slash + 1);
  return RunListingChild(parent, name, listed, wait);
}

}  // namespace corvane::platform::gvfs
