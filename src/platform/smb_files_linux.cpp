// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <libsmbclient.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
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

// One SMB client context. Its calls run on one thread at a time; a context whose call
// overran its bound is left to that call and never used again.
class Connection {
 public:
  static std::shared_ptr<Connection> Open(milliseconds clientTimeout) {
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
    return std::make_shared<Connection>(std::move(context));
  }

  explicit Connection(ContextPtr context) : context_(std::move(context)) {}

  int Stat(const std::string& url, struct stat& info) {
    errno = 0;
    return smbc_getFunctionStat(context_.get())(context_.get(), url.c_str(), &info) == 0
               ? 0
               : LastError();
  }

  SmbWriteResult Write(const std::string& url, std::span<const std::uint8_t> payload) {
    SMBCCTX* c = context_.get();
    errno = 0;
    SMBCFILE* file = smbc_getFunctionOpen(c)(c, url.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    if (file == nullptr) return {0, LastError()};
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

 private:
  ContextPtr context_;
};

class LinuxSmbFiles : public SmbFiles {
 public:
  explicit LinuxSmbFiles(const SmbFilesOptions& options)
      : bound_(options.bound),
        clientTimeout_(std::max(options.bound - kClientTimeoutMargin, kShortestClientTimeout)) {}

  int ConnectPath(std::string_view uncPath) override {
    std::optional<UncPath> path = ParseUncPath(uncPath);
    if (!path) return EINVAL;
    path->folders.clear();  // the share itself: the file need not exist yet
    const std::string url = SmbUrl(*path);
    return Run<int>([url](Connection& c) {
      struct stat info {};
      return c.Stat(url, info);
    });
  }

  SmbWriteResult WriteFile(std::string_view uncPath,
                           std::span<const std::uint8_t> payload) override {
    const std::optional<UncPath> path = ParseUncPath(uncPath);
    if (!path || path->folders.empty()) return {0, EINVAL};
    const std::string url = SmbUrl(*path);
    // The call may outlive this frame when it overruns its bound, so it writes its own copy.
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(payload.begin(), payload.end());
    return Run<SmbWriteResult>([url, bytes](Connection& c) { return c.Write(url, *bytes); });
  }

  SmbSizeResult FileSize(std::string_view uncPath) override {
    const std::optional<UncPath> path = ParseUncPath(uncPath);
    if (!path) return {0, EINVAL};
    const std::string url = SmbUrl(*path);
    return Run<SmbSizeResult>([url](Connection& c) {
      struct stat info {};
      const int error = c.Stat(url, info);
      return SmbSizeResult{error == 0 ? static_cast<std::uint64_t>(info.st_size) : 0, error};
    });
  }

  bool PathExists(std::string_view uncPath) override { return FileSize(uncPath).error == 0; }

 private:
  template <typename Result>
  static Result Failed(int error) {
    if constexpr (std::is_same_v<Result, int>) {
      return error;
    } else {
      Result result{};
      result.error = error;
      return result;
    }
  }

  // Runs the call on a thread of its own and waits at most the bound for it. A call that
  // overruns keeps its connection (it ends when the SMB client gives up); the next call opens
  // a fresh one.
  template <typename Result>
  Result Run(std::function<Result(Connection&)> call) {
    if (!connection_) connection_ = Connection::Open(clientTimeout_);
    if (!connection_) return Failed<Result>(EIO);
    struct Outcome {
      std::mutex mutex;
      std::condition_variable ready;
      std::optional<Result> value;
    };
    auto outcome = std::make_shared<Outcome>();
    std::thread worker;
    try {
      worker = std::thread([outcome, connection = connection_, call = std::move(call)] {
        Result value = call(*connection);
        const std::lock_guard<std::mutex> lock(outcome->mutex);
        outcome->value = std::move(value);
        outcome->ready.notify_one();
      });
    } catch (const std::system_error&) {
      return Failed<Result>(EAGAIN);
    }
    std::unique_lock<std::mutex> lock(outcome->mutex);
    if (outcome->ready.wait_for(lock, bound_, [&] { return outcome->value.has_value(); })) {
      Result value = std::move(*outcome->value);
      lock.unlock();
      worker.join();
      return value;
    }
    lock.unlock();
    worker.detach();
    connection_.reset();
    return Failed<Result>(ETIMEDOUT);
  }

  milliseconds bound_;
  milliseconds clientTimeout_;
  std::shared_ptr<Connection> connection_;
};

}  // namespace

std::unique_ptr<SmbFiles> MakeSmbFiles(const SmbFilesOptions& options) {
  return std::make_unique<LinuxSmbFiles>(options);
}

}  // namespace corvane::platform
