// SPDX-License-Identifier: GPL-3.0-or-later
// The share's files through Windows' own network paths (\\host\share\...): the system's SMB
// client keeps the connections and the credentials of the logon session.
#include <windows.h>

#include <cerrno>
#include <vector>

#include "platform/bounded_worker_win.h"
#include "platform/smb_files.h"
#include "platform/unc_path.h"
#include "platform/wide_text_win.h"

namespace corvane::platform {
namespace {

constexpr char kNewSuffix[] = ".corvane-new";
// Written in pieces, so that a slow link still shows progress to the server's own timeouts.
constexpr DWORD kWritePiece = 64 * 1024;

int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_NAME:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_LOGON_FAILURE:
    case ERROR_NETWORK_ACCESS_DENIED:
      return EACCES;
    case ERROR_BAD_NETPATH:
    case ERROR_NETWORK_UNREACHABLE:
    case ERROR_HOST_UNREACHABLE:
      return EHOSTUNREACH;
    case ERROR_CONNECTION_REFUSED:
      return ECONNREFUSED;
    case ERROR_SEM_TIMEOUT:
      return ETIMEDOUT;
    case ERROR_NOT_SUPPORTED:
      return ECONNABORTED;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    default:
      return EIO;
  }
}

std::wstring Joined(const UncPath& path, std::size_t folders) {
  std::wstring text = L"\\\\" + Wide(path.host) + L"\\" + Wide(path.share);
  for (std::size_t k = 0; k < folders && k < path.folders.size(); ++k) {
    text += L"\\" + Wide(path.folders[k]);
  }
  return text;
}

std::wstring WindowsPath(const UncPath& path) {
  return Joined(path, path.folders.size());
}

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { Close(); }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  bool Close() {
    if (!valid()) return true;
    const bool closed = ::CloseHandle(handle_) != FALSE;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

SmbSizeResult SizeOf(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) == FALSE) {
    return {0, ErrnoOf(::GetLastError())};
  }
  if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return {0, EISDIR};
  return {(static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow, 0};
}

SmbWriteResult WriteWhole(const std::wstring& target, const std::wstring& fresh,
                          const std::vector<std::uint8_t>& payload) {
  SmbWriteResult result;
  {
    Handle file(::CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return {0, ErrnoOf(::GetLastError())};
    while (result.written < payload.size()) {
      const DWORD piece =
          static_cast<DWORD>(std::min<std::size_t>(kWritePiece, payload.size() - result.written));
      DWORD taken = 0;
      if (::WriteFile(file.get(), payload.data() + result.written, piece, &taken, nullptr) ==
          FALSE) {
        result.error = ErrnoOf(::GetLastError());
        break;
      }
      if (taken == 0) {
        result.error = EIO;
        break;
      }
      result.written += taken;
    }
    if (!file.Close() && result.error == 0) result.error = ErrnoOf(::GetLastError());
  }
  // A file counts as written only when the server holds all of it.
  if (result.error == 0) {
    const SmbSizeResult size = SizeOf(fresh);
    if (size.error != 0) {
      result.error = size.error;
    } else if (size.size != payload.size()) {
      result.error = EIO;
    }
  }
  if (result.error == 0 &&
      ::MoveFileExW(fresh.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) == FALSE) {
    result.error = ErrnoOf(::GetLastError());
  }
  if (result.error != 0) ::DeleteFileW(fresh.c_str());
  return result;
}

class WindowsSmbFiles final : public SmbFiles {
 public:
  explicit WindowsSmbFiles(const SmbFilesOptions& options) : bound_(options.bound) {}

  int ConnectPath(std::string_view uncPath) override {
    const std::optional<UncPath> path = ParseUncPath(uncPath);
    if (!path) return EINVAL;
    const std::wstring share = Joined(*path, 0) + L"\\";
    const std::optional<int> error = worker_.Run(bound_, [share] {
      return ::GetFileAttributesW(share.c_str()) == INVALID_FILE_ATTRIBUTES
                 ? ErrnoOf(::GetLastError())
                 : 0;
    });
    return error.value_or(ETIMEDOUT);
  }

  SmbWriteResult WriteFile(std::string_view uncPath,
                           std::span<const std::uint8_t> payload) override {
    std::optional<UncPath> path = ParseUncPath(uncPath);
    if (!path || path->folders.empty()) return {0, EINVAL};
    const std::wstring target = WindowsPath(*path);
    path->folders.back() = "." + path->folders.back() + kNewSuffix;
    const std::wstring fresh = WindowsPath(*path);
    std::vector<std::uint8_t> bytes(payload.begin(), payload.end());
    const std::optional<SmbWriteResult> result = worker_.Run(
        bound_,
        [target, fresh, bytes = std::move(bytes)] { return WriteWhole(target, fresh, bytes); });
    return result.value_or(SmbWriteResult{0, ETIMEDOUT});
  }

  SmbSizeResult FileSize(std::string_view uncPath) override {
    const std::optional<UncPath> path = ParseUncPath(uncPath);
    if (!path) return {0, EINVAL};
    const std::wstring file = WindowsPath(*path);
    return worker_.Run(bound_, [file] { return SizeOf(file); })
        .value_or(SmbSizeResult{0, ETIMEDOUT});
  }

  bool PathExists(std::string_view uncPath) override {
    const std::optional<UncPath> path = ParseUncPath(uncPath);
    if (!path) return false;
    const std::wstring file = WindowsPath(*path);
    return worker_
        .Run(bound_,
             [file] { return ::GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES; })
        .value_or(false);
  }

 private:
  std::chrono::milliseconds bound_;
  BoundedWorker worker_;
};

}  // namespace

std::unique_ptr<SmbFiles> MakeSmbFiles(const SmbFilesOptions& options) {
  return std::make_unique<WindowsSmbFiles>(options);
}

}  // namespace corvane::platform
