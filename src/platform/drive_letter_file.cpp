// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/drive_letter_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <thread>

#include "platform/unc_path.h"
#include "platform/unique_fd.h"

namespace corvane::platform {
namespace {

constexpr char kRecordName[] = "letters";
constexpr char kTemporaryPrefix[] = ".letters.";  // mkostemp adds six characters
constexpr char kLockName[] = "letters.lock";
constexpr char kLinkFolder[] = "drives";
constexpr char kHeader[] =
    "# Corvane drive letters: letter, remote name as mapped, GVfs location, folder\n";
constexpr char kShareScheme[] = "smb://";
constexpr char kShareFolderPrefix[] = "/smb-share:";
// 23 letters with names and folders of a few hundred bytes each fit many times over.
constexpr std::size_t kLargestRecord = 64 * 1024;

bool HasControl(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
  });
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// The whole record file, read without ever blocking on what is not a regular file; an absent
// file is an empty record.
std::optional<std::string> ReadRecordText(const std::string& path) {
  const UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.get() < 0) return errno == ENOENT ? std::optional<std::string>("") : std::nullopt;
  struct stat info {};
  if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) return text;
    text.append(buffer, static_cast<std::size_t>(got));
    if (text.size() > kLargestRecord) return std::nullopt;
  }
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream stream(line);
  std::string field;
  while (std::getline(stream, field, '\t')) fields.push_back(field);
  return fields;
}

bool MakeFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) return true;
  }
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<std::size_t>(wrote);
  }
  return true;
}

// Every change of every Corvane process goes through this lock, held only while the file is
// read, changed and replaced.
bool LockWithin(int fd, std::chrono::milliseconds wait) {
  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') return home;
  const passwd* entry = ::getpwuid(::getuid());
  return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

}  // namespace

DriveLetterFile::DriveLetterFile(std::string folder, std::string mountRoot)
    : folder_(std::move(folder)), mountRoot_(std::move(mountRoot)) {}

std::string DriveLetterFile::DefaultFolder() {
  if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && *state == '/') {
    return std::string(state) + "/corvane";
  }
  const std::string home = HomeFolder();
  return home.empty() ? "" : home + "/.local/state/corvane";
}

std::string DriveLetterFile::LinkPath(char letter) const {
  return folder_ + "/" + kLinkFolder + "/" + std::string(1, letter);
}

bool DriveLetterFile::ValidRecord(const DriveLetterRecord& record) const {
  const std::string sharesAt = mountRoot_ + kShareFolderPrefix;
  return record.letter >= 'D' && record.letter <= 'Z' && ParseShareName(record.remote) &&
         StartsWith(record.uri, kShareScheme) && !mountRoot_.empty() &&
         StartsWith(record.folder, sharesAt) &&
         record.folder.find('/', sharesAt.size()) == std::string::npos && !HasControl(record.uri) &&
         !HasControl(record.folder);
}

std::optional<std::vector<DriveLetterRecord>> DriveLetterFile::Read() const {
  const std::optional<std::string> text = ReadRecordText(folder_ + "/" + kRecordName);
  if (!text) return std::nullopt;
  std::vector<DriveLetterRecord> records;
  std::stringstream lines(*text);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty() || line.front() == '#') continue;
    const std::vector<std::string> fields = SplitTabs(line);
    if (fields.size() != 4 || fields[0].size() != 1) continue;
    DriveLetterRecord record{fields[0][0], fields[1], fields[2], fields[3]};
    if (!ValidRecord(record)) continue;
    std::erase_if(records, [&](const auto& r) { return r.letter == record.letter; });
    records.push_back(std::move(record));
  }
  return records;
}

bool DriveLetterFile::Update(const std::function<bool(std::vector<DriveLetterRecord>&)>& change,
                             std::chrono::milliseconds lockWait) {
  if (folder_.empty() || !MakeFolders(folder_)) return false;
  const UniqueFd lock(
      ::open((folder_ + "/" + kLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  if (lock.get() < 0 || !LockWithin(lock.get(), lockWait)) return false;
  RemoveLeftoverTemporaries();
  std::optional<std::vector<DriveLetterRecord>> records = Read();
  if (!records) return false;
  if (!change(*records)) return true;
  std::erase_if(*records, [this](const DriveLetterRecord& r) { return !ValidRecord(r); });
  std::sort(records->begin(), records->end(),
            [](const auto& a, const auto& b) { return a.letter < b.letter; });
  if (!Write(*records)) return false;
  SyncLinks(*records);
  return true;
}

// Only a change writes temporary files, and only under the lock: one found while holding it
// was left by a change that never ended.
void DriveLetterFile::RemoveLeftoverTemporaries() const {
  const std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folder_.c_str()), ::closedir);
  if (!listing) return;
  const std::string prefix = kTemporaryPrefix;
  while (const dirent* entry = ::readdir(listing.get())) {
    const std::string name = entry->d_name;
    if (StartsWith(name, prefix) && name.size() == prefix.size() + 6) {
      ::unlinkat(::dirfd(listing.get()), entry->d_name, 0);
    }
  }
}

// A new file beside the old one, synced, then renamed over it: readers see the old or the new
// records, never a part.
bool DriveLetterFile::Write(const std::vector<DriveLetterRecord>& records) const {
  std::string text = kHeader;
  for (const DriveLetterRecord& r : records) {
    text += std::string(1, r.letter) + "\t" + r.remote + "\t" + r.uri + "\t" + r.folder + "\n";
  }
  std::string temporary = folder_ + "/" + kTemporaryPrefix + "XXXXXX";
  const UniqueFd file(::mkostemp(temporary.data(), O_CLOEXEC));
  if (file.get() < 0) return false;
  const bool written = WriteAll(file.get(), text) && ::fsync(file.get()) == 0 &&
                       ::rename(temporary.c_str(), (folder_ + "/" + kRecordName).c_str()) == 0;
  if (!written) ::unlink(temporary.c_str());
  return written;
}

// The links are a convenience for other programs; a link that cannot be made costs nothing
// but the link.
void DriveLetterFile::SyncLinks(const std::vector<DriveLetterRecord>& records) const {
  const std::string links = folder_ + "/" + kLinkFolder;
  if (!MakeFolders(links)) return;
  for (char letter = 'D'; letter <= 'Z'; ++letter) {
    const std::string link = LinkPath(letter);
    const auto record = std::find_if(records.begin(), records.end(),
                                     [&](const auto& r) { return r.letter == letter; });
    struct stat info {};
    const bool present = ::lstat(link.c_str(), &info) == 0;
    if (present && !S_ISLNK(info.st_mode)) continue;  // not ours: leave it
    if (present) ::unlink(link.c_str());
    if (record != records.end()) static_cast<void>(::symlink(record->folder.c_str(), link.c_str()));
  }
}

}  // namespace corvane::platform
