// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <libsmbclient.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <type_traits>
#include <vector>

#include "platform/smb_files.h"
#include "platform/unc_path.h"

namespace corvane::platform {
namespace {

using std::chrono::milliseconds;

constexpr std::size_t kWriteChunk = 64 * 1024;
constexpr milliseconds kClientTimeoutMargin{1000};
constexpr milliseconds kShortestClientTimeout{500};

// Beside the file being replaced: the new content until it is whole, and the old content until
// the new one stands under the file's name.
constexpr char kNewSuffix[] = ".corvane-new";
constexpr char kOldSuffix[] = ".corvane-old";

struct ContextDeleter {
  void operator()(SMBCCTX* context) const { smbc_free_context(context, 1); }
};
using ContextPtr = std::unique_ptr<SMBCCTX, ContextDeleter>;

// Called for every server and share. The client proposes "guest" or the local user name; the
// devices' shares are open to anonymous users only, so both stay empty. Never asks anyone.
void AnonymousLogin(SMBCCTX* /*context*/, const char* /*server*/, const char* /*share*/,
                    char* /*workgroup*/, int /*workgroupSize*/, char* user, int userSize,
                    char* password, int passwordSize) {
  if (userSize > 0) user[0] = '\0';
  if (passwordSize > 0) password[0] = '\0';
}

int LastError() {
  return errno != 0 ? errno : EIO;
}

// The SMB client keeps one stack of temporary allocations for the whole process (this build
// of it offers no set-up for threads), so two threads inside it at once free each other's
// frames. Every use of the client, contexts included, holds this lock.
std::mutex& ClientLock() {
  static std::mutex lock;
  return lock;
}

// The name a file gets while it is being replaced: ".NAME" plus suffix, in the same folder.
UncPath Beside(const UncPath& path, const char* suffix) {
  UncPath beside = path;
  beside.folders.back() = "." + beside.folders.back() + suffix;
  return beside;
}

// One SMB client context. Used, made and freed only under ClientLock().
class Connection {
 public:
  static std::unique_ptr<Connection> Open(milliseconds clientTimeout) {
    ContextPtr context(smbc_new_context());
    if (!context) return nullptr;
    SMBCCTX* c = context.get();
    smbc_setDebug(c, 0);
    smbc_setFunctionAuthDataWithContext(c, AnonymousLogin);
    smbc_setTimeout(c, static_cast<int>(clientTimeout.count()));
    // Old devices speak SMB1 only; newer protocols are still preferred when both sides can.
    smbc_setOptionProtocols(c, "NT1", nullptr);
    smbc_setOptionUseKerberos(c, false);
    smbc_setOptionFallbackAfterKerberos(c, true);
    smbc_setOptionUseCCache(c, false);
    if (smbc_init_context(c) == nullptr) return nullptr;
    return std::make_unique<Connection>(std::move(context));
  }

  explicit Connection(ContextPtr context) : context_(std::move(context)) {}

  int Stat(const std::string& url, struct stat& info) {
    errno = 0;
    return smbc_getFunctionStat(context_.get())(context_.get(), url.c_str(), &info) == 0
               ? 0
               : LastError();
  }

  // The new content goes to a file beside the old one; only once it is there whole does it
  // take the file's name. A failure on the way leaves the share as it was, so a device is never
  // left with a cut file it was using.
  SmbWriteResult Replace(const UncPath& path, std::span<const std::uint8_t> payload) {
    const std::string target = SmbUrl(path);
    const std::string fresh = SmbUrl(Beside(path, kNewSuffix));
    bool created = false;
    SmbWriteResult result = Write(fresh, payload, created);
    if (result.error == 0) result.error = CheckSize(fresh, payload.size());
    if (result.error == 0) result.error = TakeName(fresh, target, SmbUrl(Beside(path, kOldSuffix)));
    // A server that stopped answering would only make the clean-up wait as long again; the
    // next write replaces what is left.
    if (result.error != 0 && created && result.error != ETIMEDOUT) Remove(fresh);
    return result;
  }

 private:
  SmbWriteResult Write(const std::string& url, std::span<const std::uint8_t> payload,
                       bool& created) {
    SMBCCTX* c = context_.get();
    errno = 0;
    SMBCFILE* file = smbc_getFunctionOpen(c)(c, url.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    if (file == nullptr) return {0, LastError()};
    created = true;
    SmbWriteResult result;
    while (result.written < payload.size()) {
      const std::size_t chunk = std::min(payload.size() - result.written, kWriteChunk);
      errno = 0;
      const ssize_t sent =
          smbc_getFunctionWrite(c)(c, file, payload.data() + result.written, chunk);
      if (sent <= 0) {
        result.error = sent < 0 ? LastError() : EIO;
        break;
      }
      result.written += static_cast<std::size_t>(sent);
    }
    errno = 0;
    if (smbc_getFunctionClose(c)(c, file) != 0 && result.error == 0) result.error = LastError();
    return result;
  }

  int CheckSize(const std::string& url, std::size_t expected) {
    struct stat info {};
    if (const int error = Stat(url, info); error != 0) return error;
    return static_cast<std::uint64_t>(info.st_size) == expected ? 0 : EIO;
  }

  // Moves fresh over target. The old file steps aside first and comes back when the move
  // fails: the client's own rename over an existing file deletes the old one before it moves.
  int TakeName(const std::string& fresh, const std::string& target, const std::string& aside) {
    struct stat info {};
    const bool hadOld = Stat(target, info) == 0;
    if (hadOld) {
      if (const int error = Rename(target, aside); error != 0) return error;
    }
    const int error = Rename(fresh, target);
    if (error != 0) {
      if (hadOld) Rename(aside, target);
      return error;
    }
    if (hadOld) Remove(aside);
    return 0;
  }

  int Rename(const std::string& from, const std::string& to) {
    SMBCCTX* c = context_.get();
    errno = 0;
    return smbc_getFunctionRename(c)(c, from.c_str(), c, to.c_str()) == 0 ? 0 : LastError();
  }

  void Remove(const std::string& url) {
    SMBCCTX* c = context_.get();
    smbc_getFunctionUnlink(c)(c, url.c_str());
  }

  ContextPtr context_;
};

template <typename Result>
Result Failed(int error) {
  if constexpr (std::is_same_v<Result, int>) {
    return error;
  } else {
    Result result{};
    result.error = error;
    return result;
  }
}

// One call of the SMB client, shared by the caller that waits for it and the thread that makes
// it: whichever lets go last frees it, so a caller that stops waiting leaves nothing dangling.
class Job {
 public:
  virtual ~Job() = default;
  virtual void Run(Connection* connection) = 0;  // null: the client could not start

  // The worker's side: false when the caller gave up before the call started.
  bool Start() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return !givenUp_;
  }
  // True when the caller had given up on it meanwhile.
  bool End() {
    const std::lock_guard<std::mutex> lock(mutex_);
    done_ = true;
    ended_.notify_all();
    return givenUp_;
  }
  // The caller's side: true when the call ended within the wait; otherwise it is given up.
  bool WaitEnded(milliseconds wait) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (ended_.wait_for(lock, wait, [this] { return done_; })) return true;
    givenUp_ = true;
    return false;
  }

 private:
  std::mutex mutex_;
  std::condition_variable ended_;
  bool done_ = false;
  bool givenUp_ = false;
};

template <typename Result>
class TypedJob : public Job {
 public:
  explicit TypedJob(std::function<Result(Connection&)> call) : call_(std::move(call)) {}
  void Run(Connection* connection) override {
    result_ = connection != nullptr ? call_(*connection) : Failed<Result>(EIO);
  }
  Result TakeResult() { return std::move(result_); }

 private:
  std::function<Result(Connection&)> call_;
  Result result_{};
};

// The one thread that makes every SMB client call of one service object, one after another,
// over one connection. A call that outlives its caller's bound still runs to its end here (the
// client's own timeout ends it), and the calls queued behind it wait; the object's destruction
// waits for it too. Nothing is ever left running inside the client while another thread enters
// it.
class CallThread {
 public:
  explicit CallThread(milliseconds clientTimeout) : clientTimeout_(clientTimeout) {}
  ~CallThread() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
      work_.notify_one();
    }
    if (thread_.joinable()) thread_.join();
  }
  CallThread(const CallThread&) = delete;
  CallThread& operator=(const CallThread&) = delete;

  // False when the thread could not be started.
  bool Queue(std::shared_ptr<Job> job) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!thread_.joinable()) {
      try {
        thread_ = std::thread([this] { Serve(); });
      } catch (const std::system_error&) {
        return false;
      }
    }
    queue_.push_back(std::move(job));
    work_.notify_one();
    return true;
  }

 private:
  void Serve() {
    std::unique_ptr<Connection> connection;
    while (const std::shared_ptr<Job> job = Next()) {
      if (!job->Start()) continue;
      const std::lock_guard<std::mutex> client(ClientLock());
      if (!connection) connection = Connection::Open(clientTimeout_);
      job->Run(connection.get());
      // A call that overran may leave its server's connection in any state: the next call
      // starts afresh.
      if (job->End()) connection.reset();
    }
    const std::lock_guard<std::mutex> client(ClientLock());
    connection.reset();
  }

  // The next call to make; null once the object is going away.
  std::shared_ptr<Job> Next() {
    std::unique_lock<std::mutex> lock(mutex_);
    work_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (queue_.empty()) return nullptr;
    std::shared_ptr<Job> job = std::move(queue_.front());
    queue_.pop_front();
    return job;
  }

  milliseconds clientTimeout_;
  std::mutex mutex_;
  std::condition_variable work_;
  std::deque<std::shared_ptr<Job>> queue_;
  bool stopping_ = false;
  std::thread thread_;  // last: started after everything it uses
};

class LinuxSmbFiles : public SmbFiles {
 public:
  explicit LinuxSmbFiles(const SmbFilesOptions& options)
      : bound_(options.bound),
        calls_(std::max(options.bound - kClientTimeoutMargin, kShortestClientTimeout)) {}

  int ConnectPath(std::string_view uncPath) override {
    std::optional<UncPath> path = ParseUncPath(uncPath);
    if (!path) return EINVAL;
    path->folders.clear();  // the share itself: the file need not exist yet
    return Run<int>([url = SmbUrl(*path)](Connection& c) {
      struct stat info {};
      return c.Stat(url, info);
    });
  }

  SmbWriteResult WriteFile(std::string_view uncPath,
                           std::span<const std::uint8_t> payload) override {
    std::optional<UncPath> path = ParseUncPath(uncPath);
    if (!path || path->folders.empty()) return {0, EINVAL};
    // The call may outlive this frame when it overruns its bound, so it writes its own copy.
    return Run<SmbWriteResult>([path = std::move(*path),
                                bytes = std::vector<std::uint8_t>(payload.begin(), payload.end())](
                                   Connection& c) { return c.Replace(path, bytes); });
  }

  SmbSizeResult FileSize(std::string_view uncPath) override {
    const std::optional<UncPath> path = ParseUncPath(uncPath);
    if (!path) return {0, EINVAL};
    return Run<SmbSizeResult>([url = SmbUrl(*path)](Connection& c) {
      struct stat info {};
      const int error = c.Stat(url, info);
      return SmbSizeResult{error == 0 ? static_cast<std::uint64_t>(info.st_size) : 0, error};
    });
  }

  bool PathExists(std::string_view uncPath) override { return FileSize(uncPath).error == 0; }

 private:
  template <typename Result>
  Result Run(std::function<Result(Connection&)> call) {
    const auto job = std::make_shared<TypedJob<Result>>(std::move(call));
    if (!calls_.Queue(job)) return Failed<Result>(EAGAIN);
    if (!job->WaitEnded(bound_)) return Failed<Result>(ETIMEDOUT);
    return job->TakeResult();
  }

  milliseconds bound_;
  CallThread calls_;
};

}  // namespace

std::unique_ptr<SmbFiles> MakeSmbFiles(const SmbFilesOptions& options) {
  return std::make_unique<LinuxSmbFiles>(options);
}

}  // namespace corvane::platform
