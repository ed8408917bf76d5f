// SPDX-License-Identifier: GPL-3.0-or-later
// Windows says who may read a file in its access list, not in permission bits. A password file
// passes when no entry of that list lets anyone read it but its owner (or the user running
// Corvane), the system account and the Administrators group (who can take any file anyway, as
// root can on Linux): what a file in the user's own profile folder gets by default. A file that
// inherits "Users" or "Everyone" from its folder is refused, and so is one without any access
// list (everyone may read it).
#include <windows.h>
// after windows.h
#include <aclapi.h>
#include <sddl.h>

#include <memory>
#include <vector>

#include "cli/password_file.h"
#include "platform/translation.h"
#include "platform/wide_text_win.h"

namespace corvane::cli {

namespace {

using platform::Fill;
using platform::Tr;

// Reading the data, also through generic rights.
constexpr ACCESS_MASK kReadRights = FILE_READ_DATA | GENERIC_READ | GENERIC_ALL | MAXIMUM_ALLOWED;

PasswordReading Refused(const std::string& path, DWORD error) {
  return RefusedPassword(
      Fill(Tr("--password-file %1$s: %2$s"), {path, platform::SystemMessage(error)}));
}

struct LocalFreer {
  void operator()(void* memory) const { ::LocalFree(memory); }
};

bool IsWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type) {
  return ::IsWellKnownSid(sid, type) != FALSE;
}

// "DOMAIN\name", or the account's SID when it has no name here.
std::string AccountName(PSID sid) {
  wchar_t name[256] = {};
  wchar_t domain[256] = {};
  DWORD nameLength = 256;
  DWORD domainLength = 256;
  SID_NAME_USE use{};
  if (::LookupAccountSidW(nullptr, sid, name, &nameLength, domain, &domainLength, &use) != FALSE) {
    const std::wstring full =
        domainLength > 0 ? std::wstring(domain) + L"\\" + name : std::wstring(name);
    return platform::Utf8(full);
  }
  wchar_t* text = nullptr;
  if (::ConvertSidToStringSidW(sid, &text) == FALSE) return "?";
  const std::unique_ptr<wchar_t, LocalFreer> owner(text);
  return platform::Utf8(text);
}

// The user this program runs as: a file that an elevated administrator created belongs to the
// Administrators group, and its creator's own entry is no one else's.
std::vector<unsigned char> ProcessUser() {
  HANDLE token = nullptr;
  if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token) == FALSE) return {};
  const std::unique_ptr<void, decltype(&::CloseHandle)> closer(token, &::CloseHandle);
  DWORD size = 0;
  ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<unsigned char> user(size);
  if (size == 0 || ::GetTokenInformation(token, TokenUser, user.data(), size, &size) == FALSE) {
    return {};
  }
  return user;
}

// Who else than the owner, the user running this, the system and the administrators may read the
// file: nothing when no one; "Everyone" when there is no access list at all.
std::optional<std::string> OtherReader(HANDLE file) {
  PSID owner = nullptr;
  PACL list = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::GetSecurityInfo(file, SE_FILE_OBJECT,
                        OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr,
                        &list, nullptr, &descriptor) != ERROR_SUCCESS) {
    return "?";
  }
  const std::unique_ptr<void, LocalFreer> held(descriptor);
  if (list == nullptr) return "Everyone";
  const std::vector<unsigned char> user = ProcessUser();
  const PSID self =
      user.empty() ? nullptr : reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid;
  for (DWORD k = 0; k < list->AceCount; ++k) {
    void* entry = nullptr;
    if (::GetAce(list, k, &entry) == FALSE) continue;
    const auto* header = static_cast<const ACE_HEADER*>(entry);
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE) != 0) {
      continue;
    }
    const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
    if ((allowed->Mask & kReadRights) == 0) continue;
    PSID sid = const_cast<DWORD*>(&allowed->SidStart);
    if ((owner != nullptr && ::EqualSid(sid, owner) != FALSE) ||
        (self != nullptr && ::EqualSid(sid, self) != FALSE) ||
        IsWellKnown(sid, WinLocalSystemSid) || IsWellKnown(sid, WinBuiltinAdministratorsSid)) {
      continue;
    }
    return AccountName(sid);
  }
  return std::nullopt;
}

}  // namespace

PasswordReading ReadPasswordFile(const std::string& path) {
  const HANDLE file = ::CreateFileW(platform::Wide(path).c_str(), GENERIC_READ | READ_CONTROL,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Refused(path, ::GetLastError());
  const std::unique_ptr<void, decltype(&::CloseHandle)> closer(file, &::CloseHandle);
  if (::GetFileType(file) != FILE_TYPE_DISK) {
    return RefusedPassword(Fill(Tr("--password-file %s: not a regular file"), {path}));
  }
  if (const std::optional<std::string> reader = OtherReader(file)) {
    // TRANSLATORS: %1$s is the file given, %2$s an account of Windows (BUILTIN\Users).
    return RefusedPassword(Fill(Tr("--password-file %1$s: %2$s may read it: only its owner may "
                                   "(the file's Security settings)"),
                                {path, *reader}));
  }
  std::string bytes(kMaxPasswordLineBytes, '\0');
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    DWORD got = 0;
    if (::ReadFile(file, bytes.data() + filled, static_cast<DWORD>(bytes.size() - filled), &got,
                   nullptr) == FALSE) {
      return Refused(path, ::GetLastError());
    }
    if (got == 0) break;
    filled += got;
    if (bytes.find('\n') < filled) break;
  }
  bytes.resize(filled);
  return PasswordFromFileBytes(path, std::move(bytes));
}

}  // namespace corvane::cli
