// SPDX-License-Identifier: GPL-3.0-or-later
// What only the Windows platform layer does, against the real system calls (under Wine in CI).
#include <winsock2.h>
#include <ws2tcpip.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/bounded_worker_win.h"
#include "platform/drive_mappings.h"
#include "platform/error_text.h"
#include "platform/reachability.h"
#include "platform/smb_files.h"
#include "platform/sockets.h"
#include "platform/translation.h"
#include "platform/translation_catalogue.h"
#include "platform/wide_text_win.h"

namespace corvane::platform {
namespace {

using testing::HasSubstr;

void SetVariable(const wchar_t* name, const wchar_t* value) {
  ::_wputenv_s(name, value);
}

TEST(WindowsCatalogues, FollowLanguageAndTheLanguagesPluralRules) {
  SetVariable(L"LANG", L"");
  SetVariable(L"LANGUAGE", L"ru");
  StartTranslation(CORVANE_TEST_CATALOGUES);
  EXPECT_EQ(CatalogueLanguage(), "ru");
  const std::string_view one =
      "Another program also listens on UDP port %1$d%2$s: devices that "
      "answer straight to this computer's address reach only one of the "
      "listeners, so some devices may be missing from the list.";
  const std::string_view many =
      "Other programs also listen on UDP port %1$d%2$s: devices that "
      "answer straight to this computer's address reach only one of "
      "the listeners, so some devices may be missing from the list.";
  EXPECT_THAT(std::string(TrN(one, many, 21)), HasSubstr("другая программа"));
  EXPECT_THAT(std::string(TrN(one, many, 3)), HasSubstr("другие программы"));
  EXPECT_THAT(std::string(TrN(one, many, 11)), HasSubstr("другие программы"));

  SetVariable(L"LANGUAGE", L"xx:de_AT");  // the first language with a catalogue, by its language
  StartTranslation(CORVANE_TEST_CATALOGUES);
  EXPECT_EQ(CatalogueLanguage(), "de");

  SetVariable(L"LANG", L"C");  // as gettext: the C locale is English, whatever LANGUAGE says
  StartTranslation(CORVANE_TEST_CATALOGUES);
  EXPECT_EQ(CatalogueLanguage(), "");
  EXPECT_EQ(Tr("bind"), "bind");
}

// A catalogue whose tables point outside the file, or past its strings' ends, is not read.
TEST(WindowsCatalogues, ADamagedCatalogueLeavesTheTextsInEnglish) {
  const std::filesystem::path root = std::filesystem::temp_directory_path() / "corvane-mo-test";
  std::filesystem::create_directories(root / "de" / "LC_MESSAGES");
  std::string bytes(28, '\0');
  const auto put = [&bytes](std::size_t at, std::uint32_t value) {
    for (int k = 0; k < 4; ++k) bytes[at + k] = static_cast<char>(value >> (8 * k));
  };
  put(0, 0x950412de);
  put(8, 1);            // one text
  put(12, 20);          // the originals' table
  put(16, 20);          // the translations' table, the same one
  put(20, 0xffffff00);  // its one entry: a length far beyond the file's end,
  put(24, 4);           // from offset 4
  std::ofstream(root / "de" / "LC_MESSAGES" / "corvane.mo", std::ios::binary) << bytes;
  SetVariable(L"LANG", L"");
  SetVariable(L"LANGUAGE", L"de");
  catalogue::Bind(root.string());
  EXPECT_EQ(CatalogueLanguage(), "");
  EXPECT_EQ(Tr("bind"), "bind");
  std::filesystem::remove_all(root);
}

TEST(WindowsText, RoundTripsUtf8AndUtf16) {
  const std::string text = "Ä 日本 \xF0\x9F\x98\x80";
  EXPECT_EQ(Wide(text), L"Ä 日本 \U0001F600");
  EXPECT_EQ(Utf8(Wide(text)), text);
}

TEST(WindowsSockets, ReportPortInUseAndReachabilityAsOnLinux) {
  ASSERT_TRUE(StartSockets());
  const UniqueSocket listener(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(listener.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local), 0);
  ASSERT_EQ(::listen(listener.get(), 1), 0);
  int size = sizeof local;
  ::getsockname(listener.get(), reinterpret_cast<sockaddr*>(&local), &size);
  const auto port = ntohs(local.sin_port);
  EXPECT_TRUE(CheckHttpReachable("127.0.0.1", kReachabilityBound, port));
  EXPECT_FALSE(CheckHttpReachable("no.such.name", kReachabilityBound, port));

  const UniqueSocket second(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  EXPECT_NE(::bind(second.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local), 0);
  EXPECT_EQ(LastSocketError(), EADDRINUSE);
}

// What a mapping that never returns does: reported at once, and finished before the next call.
TEST(WindowsDrives, ACallThatOverrunsItsBoundEndsBeforeTheNext) {
  BoundedWorker worker;
  std::promise<void> release;
  std::shared_future<void> gate = release.get_future().share();
  auto finished = std::make_shared<bool>(false);
  EXPECT_EQ(worker.Run(std::chrono::milliseconds(1),
                       [gate, finished] {
                         gate.wait();
                         *finished = true;
                         return 1;
                       }),
            std::nullopt);
  release.set_value();
  EXPECT_EQ(worker.Run(std::chrono::seconds(60), [finished] { return *finished ? 2 : 0; }), 2);
}

TEST(WindowsDrives, RefuseWhatIsNoLetterOrNoShareBeforeAsking) {
  const std::unique_ptr<DriveMappings> drives = MakeDriveMappings();
  EXPECT_EQ(drives->AddConnection('C', "\\\\nas\\share", "", ""), DriveResult::kBadLocalName);
  EXPECT_EQ(drives->AddConnection('Z', "\\\\nas\\share\\folder", "", ""),
            DriveResult::kBadRemoteName);
  EXPECT_EQ(drives->AddConnection('Z', "//nas/share", "", ""), DriveResult::kBadRemoteName);
  EXPECT_EQ(drives->CancelConnection('1', false), DriveResult::kBadLocalName);
  EXPECT_EQ(drives->GetConnection('*'), std::nullopt);
  EXPECT_EQ(drives->GetDriveType('C'), DriveType::kLocal);
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(Wide(path).c_str(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A network path the prefix maps to a folder: the same calls as for a device's share.
TEST(WindowsSmbFiles, WriteThroughANewNameCheckTheSizeAndRename) {
  const char* share = std::getenv("CORVANE_TEST_UNC");
  if (share == nullptr) GTEST_SKIP() << "CORVANE_TEST_UNC names no mapped share";
  const std::unique_ptr<SmbFiles> files = MakeSmbFiles();
  const std::string root(share);
  EXPECT_EQ(files->ConnectPath(root), 0);
  ASSERT_TRUE(::CreateDirectoryW(Wide(root + "\\.codepages").c_str(), nullptr) != FALSE ||
              ::GetLastError() == ERROR_ALREADY_EXISTS);

  std::vector<std::uint8_t> payload(300 * 1024);
  for (std::size_t k = 0; k < payload.size(); ++k) payload[k] = static_cast<std::uint8_t>(k * 7);
  const std::string file = root + "\\.codepages\\codepage.850";
  for (const std::uint8_t first : {std::uint8_t{0}, std::uint8_t{1}}) {  // new, then replaced
    payload[0] = first;
    const SmbWriteResult written = files->WriteFile(file, payload);
    EXPECT_EQ(written.error, 0);
    EXPECT_EQ(written.written, payload.size());
    EXPECT_EQ(ReadAll(file), std::string(payload.begin(), payload.end()));
  }
  EXPECT_EQ(files->FileSize(file).size, payload.size());
  EXPECT_TRUE(files->PathExists(file));
  EXPECT_FALSE(files->PathExists(root + "\\.codepages\\.codepage.850.corvane-new"));

  EXPECT_EQ(files->WriteFile(root + "\\missing\\file", payload).error, ENOENT);
  EXPECT_FALSE(files->PathExists(root + "\\missing"));
  EXPECT_EQ(files->FileSize(root + "\\missing.bin").error, ENOENT);
  EXPECT_EQ(files->WriteFile("\\\\host\\share\\..\\x", payload).error, EINVAL);
}

// The reasons a copy to a device fails read as on Linux, network ones included.
TEST(WindowsErrorText, ReadsAsOnLinux) {
  EXPECT_EQ(ErrorText(ENOENT), "No such file or directory");
  EXPECT_EQ(ErrorText(ETIMEDOUT), "Connection timed out");
  EXPECT_EQ(ErrorText(EHOSTUNREACH), "No route to host");
}

}  // namespace
}  // namespace corvane::platform
