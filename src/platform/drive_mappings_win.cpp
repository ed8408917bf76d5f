// SPDX-License-Identifier: GPL-3.0-or-later
// Windows' own mapped drives: the letters Explorer and `net use` show, changed through the
// network provider. Corvane keeps no record of them. A mapping lasts for the logon session
// (it is not remembered for the next one), as a mount does on Linux.
#include <windows.h>
// after windows.h
#include <winnetwk.h>

#include <array>
#include <mutex>

#include "platform/bounded_worker_win.h"
#include "platform/drive_mappings.h"
#include "platform/unc_path.h"
#include "platform/wide_text_win.h"

namespace corvane::platform {
namespace {

bool IsMappableLetter(char letter) {
  return letter >= 'D' && letter <= 'Z';
}

std::wstring DeviceName(char letter) {
  return {static_cast<wchar_t>(letter), L':'};
}

DriveResult FromAddError(DWORD error) {
  switch (error) {
    case NO_ERROR:
      return DriveResult::kOk;
    case ERROR_ALREADY_ASSIGNED:
    case ERROR_DEVICE_ALREADY_REMEMBERED:
      return DriveResult::kAlreadyAssigned;
    case ERROR_BAD_DEVICE:
      return DriveResult::kBadLocalName;
    case ERROR_INVALID_ADDRESS:
      return DriveResult::kBadRemoteName;
    case ERROR_ACCESS_DENIED:
    case ERROR_INVALID_PASSWORD:
    case ERROR_LOGON_FAILURE:
    case ERROR_BAD_USERNAME:
    case ERROR_SESSION_CREDENTIAL_CONFLICT:
      return DriveResult::kLoginNeeded;
    case ERROR_NO_NETWORK:
    case ERROR_NO_NET_OR_BAD_PATH:
    case ERROR_BAD_PROVIDER:
      return DriveResult::kUnavailable;
    case ERROR_SEM_TIMEOUT:
      return DriveResult::kTimedOut;
    default:
      return DriveResult::kFailed;
  }
}

DriveResult FromCancelError(DWORD error) {
  switch (error) {
    case NO_ERROR:
      return DriveResult::kOk;
    case ERROR_NOT_CONNECTED:
      return DriveResult::kNotConnected;
    case ERROR_OPEN_FILES:
    case ERROR_DEVICE_IN_USE:
      return DriveResult::kFilesOpen;
    case ERROR_NO_NETWORK:
      return DriveResult::kUnavailable;
    default:
      return DriveResult::kFailed;
  }
}

class WindowsDriveMappings final : public DriveMappings {
 public:
  explicit WindowsDriveMappings(const DriveMappingOptions& options) : bound_(options.bound) {}

  std::optional<std::string> GetConnection(char letter) const override {
    if (letter < 'A' || letter > 'Z') return std::nullopt;
    std::array<wchar_t, 1024> remote{};
    DWORD length = static_cast<DWORD>(remote.size());
    // A remembered connection that is not connected now has none.
    if (::WNetGetConnectionW(DeviceName(letter).c_str(), remote.data(), &length) != NO_ERROR) {
      return std::nullopt;
    }
    return Utf8(remote.data());
  }

  DriveType GetDriveType(char letter) const override {
    const std::wstring root = DeviceName(letter) + L"\\";
    switch (::GetDriveTypeW(root.c_str())) {
      case DRIVE_NO_ROOT_DIR:
        return DriveType::kNoRootDir;
      case DRIVE_REMOTE:
        return DriveType::kRemote;
      case DRIVE_UNKNOWN:
        return DriveType::kUnknown;
      default:
        return DriveType::kLocal;
    }
  }

  std::optional<std::string> GetFolder(char letter) const override {
    if (!GetConnection(letter)) return std::nullopt;
    return std::string{letter, ':', '\\'};
  }

  DriveResult AddConnection(char letter, std::string_view remote, std::string_view user,
                            std::string_view password) override {
    if (!IsMappableLetter(letter)) return DriveResult::kBadLocalName;
    const std::optional<UncPath> share = ParseShareName(remote);
    if (!share) return DriveResult::kBadRemoteName;
    // Everything the call needs goes with it: it may outlive this one.
    struct Request {
      std::wstring device, remote, user, password;
      ~Request() {
        for (wchar_t& c : password) reinterpret_cast<volatile wchar_t&>(c) = L'\0';
      }
    };
    auto request = std::make_shared<Request>(
        Request{DeviceName(letter), Wide(remote), Wide(user), Wide(password)});
    const std::lock_guard lock(mutex_);
    const std::optional<DWORD> error = worker_.Run(bound_, [request] {
      NETRESOURCEW resource{};
      resource.dwType = RESOURCETYPE_DISK;
      resource.lpLocalName = request->device.data();
      resource.lpRemoteName = request->remote.data();
      // Without a user the system's own logon is offered, which a guest share takes.
      const bool anonymous = request->user.empty();
      return ::WNetAddConnection2W(&resource, anonymous ? nullptr : request->password.c_str(),
                                   anonymous ? nullptr : request->user.c_str(), 0);
    });
    if (!error) return DriveResult::kTimedOut;
    return FromAddError(*error);
  }

  DriveResult CancelConnection(char letter, bool force) override {
    if (!IsMappableLetter(letter)) return DriveResult::kBadLocalName;
    const std::wstring device = DeviceName(letter);
    const std::lock_guard lock(mutex_);
    // Not forced, the system refuses while files are open on the drive.
    const std::optional<DWORD> error = worker_.Run(bound_, [device, force] {
      return ::WNetCancelConnection2W(device.c_str(), 0, force ? TRUE : FALSE);
    });
    if (!error) return DriveResult::kTimedOut;
    return FromCancelError(*error);
  }

  // Windows' networking is always there; where a network provider is missing, mapping answers
  // so itself.
  std::string Unavailable() const override { return {}; }

 private:
  std::chrono::milliseconds bound_;
  std::mutex mutex_;
  BoundedWorker worker_;
};

}  // namespace

std::unique_ptr<DriveMappings> MakeDriveMappings() {
  return MakeDriveMappings(DriveMappingOptions{});
}

std::unique_ptr<DriveMappings> MakeDriveMappings(const DriveMappingOptions& options) {
  return std::make_unique<WindowsDriveMappings>(options);
}

}  // namespace corvane::platform
