// SPDX-License-Identifier: GPL-3.0-or-later
// What the command line does on Windows alone: the password file's rule, judged from the file's
// access list, and file names in UTF-8 that Windows takes in UTF-16.
#include <windows.h>
// after windows.h
#include <aclapi.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/password_file.h"
#include "cli_run.h"
#include "platform/wide_text_win.h"

namespace corvane::cli {
namespace {

using ::testing::HasSubstr;

// Leaves the file with the access list `entries` alone, nothing inherited from its folder.
void SetAccessList(const std::wstring& path, std::vector<EXPLICIT_ACCESS_W> entries) {
  PACL list = nullptr;
  ASSERT_EQ(::SetEntriesInAclW(static_cast<ULONG>(entries.size()), entries.data(), nullptr, &list),
            ERROR_SUCCESS);
  const DWORD result =
      ::SetNamedSecurityInfoW(const_cast<wchar_t*>(path.c_str()), SE_FILE_OBJECT,
                              DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, list, nullptr);
  ::LocalFree(list);
  ASSERT_EQ(result, ERROR_SUCCESS);
}

EXPLICIT_ACCESS_W Allow(const wchar_t* trustee, DWORD rights) {
  EXPLICIT_ACCESS_W entry{};
  entry.grfAccessPermissions = rights;
  entry.grfAccessMode = SET_ACCESS;
  entry.Trustee.TrusteeForm = TRUSTEE_IS_NAME;
  entry.Trustee.ptstrName = const_cast<wchar_t*>(trustee);
  return entry;
}

// A file only its owner may read is accepted in the lab test (tests/windows/cli_lab_test.sh):
// Wine derives a file's access list from its Linux mode, which only chmod sets.
TEST(WindowsPasswordFile, AFileOthersMayReadIsRefused) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / "corvane-password-test.txt";
  std::ofstream(file) << "s3cret\r\n";
  const std::string path = file.string();

  SetAccessList(file.wstring(),
                {Allow(L"CURRENT_USER", GENERIC_ALL), Allow(L"Everyone", GENERIC_READ)});
  const PasswordReading shared = ReadPasswordFile(path);
  EXPECT_FALSE(shared.given.password.has_value());
  EXPECT_THAT(shared.refusal, HasSubstr(" may read it: only its owner may"));

  std::filesystem::remove(file);
  EXPECT_THAT(ReadPasswordFile(path).refusal, HasSubstr("--password-file " + path + ": "));
  EXPECT_THAT(ReadPasswordFile("NUL").refusal, HasSubstr("not a regular file"));
}

TEST(WindowsFileNames, PayloadsGoToAFolderNamedInAnyScript) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / L"corvane-\u00dc\u65e5\u672c";
  const std::string utf8 = platform::Utf8(folder.native());
  const testing::CliRun run = testing::RunInProcess({"payloads", "--extract", utf8});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "wrote 41 files to " + utf8 + "\n");
  EXPECT_TRUE(std::filesystem::exists(folder / L"codepage.850"));
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace corvane::cli
