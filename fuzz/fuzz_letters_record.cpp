// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes where the record of drive letters belongs: every record that reads back is one the
// program itself could have written (a letter D-Z once, an SMB share, a folder of GVfs's), and
// written back, it reads back the same.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/drive_letter_file.h"
#include "platform/unc_path.h"

namespace {

constexpr char kMountRoot[] = "/run/user/1000/gvfs";

const std::string& Folder() {
  static const std::string folder = [] {
    std::string pattern = "/tmp/corvane-fuzz-letters.XXXXXX";
    return std::string(::mkdtemp(pattern.data()));
  }();
  return folder;
}

bool Plain(const std::string& text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  }
  return true;
}

bool Ours(const corvane::platform::DriveLetterRecord& record) {
  const std::string shares = std::string(kMountRoot) + "/smb-share:";
  return record.letter >= 'D' && record.letter <= 'Z' &&
         corvane::platform::ParseShareName(record.remote) && record.uri.rfind("smb://", 0) == 0 &&
         record.folder.rfind(shares, 0) == 0 &&
         record.folder.find('/', shares.size()) == std::string::npos && Plain(record.uri) &&
         Plain(record.folder);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using corvane::platform::DriveLetterFile;
  using corvane::platform::DriveLetterRecord;
  std::ofstream(Folder() + "/letters", std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  DriveLetterFile file(Folder(), kMountRoot);
  const auto records = file.Read();
  if (!records) {
    if (size <= 64 * 1024) __builtin_trap();  // a regular file of a record's size always reads
    return 0;
  }
  unsigned seen = 0;
  for (const DriveLetterRecord& record : *records) {
    if (!Ours(record)) __builtin_trap();
    const unsigned bit = 1u << (record.letter - 'A');
    if ((seen & bit) != 0) __builtin_trap();  // one record per letter
    seen |= bit;
  }
  if (!file.Update([](auto&) { return true; }, std::chrono::seconds(1))) __builtin_trap();
  const auto again = file.Read();
  if (!again || again->size() != records->size()) __builtin_trap();
  for (const DriveLetterRecord& record : *again) {
    bool found = false;
    for (const DriveLetterRecord& before : *records) {
      found |= before.letter == record.letter && before.remote == record.remote &&
               before.uri == record.uri && before.folder == record.folder;
    }
    if (!found) __builtin_trap();
  }
  return 0;
}
