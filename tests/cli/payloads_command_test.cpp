// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include "language/payload_catalogue.h"

namespace corvane::cli {
namespace {

namespace fs = std::filesystem;
using language::AllPayloads;
using language::LookUpPayload;
using language::Payload;

class TempDir {
 public:
  TempDir() {
    std::random_device random;
    do {
      path_ = fs::temp_directory_path() / ("corvane-payloads-" + std::to_string(random()));
    } while (!fs::create_directory(path_));
  }
  ~TempDir() { fs::remove_all(path_); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct CommandRun {
  int status;
  std::string out;
  std::string err;
};

CommandRun RunCommand(std::vector<std::string> args) {
  std::ostringstream out, err;
  Console console{out, err, {}};
  args.insert(args.begin(), "payloads");
  const int status = RunCorvane(args, console);
  return {status, out.str(), err.str()};
}

TEST(PayloadsCommand, ListsEveryPayloadWithIdNameAndSize) {
  const CommandRun run = RunCommand({});
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.err.empty());
  std::istringstream lines(run.out);
  std::string header;
  std::getline(lines, header);
  std::size_t rows = 0;
  for (std::string line; std::getline(lines, line); ++rows) {
    std::istringstream fields(line);
    int id = 0;
    std::string name;
    std::size_t size = 0;
    fields >> id >> name >> size;
    const auto payload = LookUpPayload(id);
    ASSERT_TRUE(payload) << line;
    EXPECT_EQ(name, payload->fileName);
    EXPECT_EQ(size, payload->bytes.size());
  }
  EXPECT_EQ(rows, 41u);
}

TEST(PayloadsCommand, ExtractWritesEveryFileByteForByte) {
  TempDir temp;
  const fs::path target = temp.path() / "new" / "folder";
  const CommandRun run = RunCommand({"--extract", target.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  std::size_t files = 0;
  for (const auto& entry : fs::directory_iterator(target)) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 41u);
  for (const Payload& payload : AllPayloads()) {
    const std::string written = ReadFile(target / std::string(payload.fileName));
    ASSERT_EQ(written.size(), payload.bytes.size()) << payload.fileName;
    EXPECT_TRUE(std::equal(written.begin(), written.end(),
                           reinterpret_cast<const char*>(payload.bytes.data())))
        << payload.fileName;
  }
}

TEST(PayloadsCommand, ExtractOverwritesExistingFiles) {
  TempDir temp;
  {
    std::ofstream stale(temp.path() / "codepage.850", std::ios::binary);
    stale << std::string(1000, 'x');
  }
  ASSERT_EQ(RunCommand({"--extract", temp.path().string()}).status, 0);
  EXPECT_EQ(fs::file_size(temp.path() / "codepage.850"), 132u);
}

TEST(PayloadsCommand, ReportsAFolderItCannotCreate) {
  TempDir temp;
  const fs::path blocker = temp.path() / "file";
  std::ofstream(blocker) << "not a folder";
  const CommandRun run = RunCommand({"--extract", (blocker / "sub").string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot create folder"), std::string::npos) << run.err;
}

TEST(PayloadsCommand, RejectsBadUsageAndShowsHelp) {
  EXPECT_EQ(RunCommand({"--extract"}).status, 2);
  EXPECT_EQ(RunCommand({"--extract", ""}).status, 2);
  EXPECT_EQ(RunCommand({"--extract", "a", "b"}).status, 2);
  const CommandRun unknown = RunCommand({"--frobnicate"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("usage: corvane payloads"), std::string::npos);
  const CommandRun help = RunCommand({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--extract DIR"), std::string::npos);
}

}  // namespace
}  // namespace corvane::cli
