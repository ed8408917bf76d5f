// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/password_file.h"
#include "platform/translation.h"
#include "platform/unique_fd.h"

namespace corvane::cli {

namespace {

using platform::Fill;
using platform::Tr;

std::string OctalMode(mode_t mode) {
  std::array<char, 8> text{};
  std::snprintf(text.data(), text.size(), "%04o", static_cast<unsigned>(mode & 07777));
  return text.data();
}

std::string ReadAtMost(int fd, std::size_t limit, int& error) {
  std::string bytes(limit, '\0');
  std::size_t filled = 0;
  while (filled < limit) {
    const ssize_t got = ::read(fd, bytes.data() + filled, limit - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) error = errno;
    if (got <= 0) break;
    filled += static_cast<std::size_t>(got);
    if (bytes.find('\n') < filled) break;
  }
  bytes.resize(filled);
  return bytes;
}

// The system's reason, after the file's name.
PasswordReading Refused(const std::string& path, int error) {
  // TRANSLATORS: %1$s is the file given, %2$s the system's reason (Permission denied...).
  return RefusedPassword(Fill(Tr("--password-file %1$s: %2$s"), {path, std::strerror(error)}));
}

}  // namespace

// Opened without blocking (a FIFO would wait for a writer), then judged on what was opened.
PasswordReading ReadPasswordFile(const std::string& path) {
  const platform::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (fd.get() < 0) return Refused(path, errno);
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0) return Refused(path, errno);
  if (!S_ISREG(status.st_mode)) {
    return RefusedPassword(Fill(Tr("--password-file %s: not a regular file"), {path}));
  }
  if ((status.st_mode & 077) != 0) {
    return RefusedPassword(
        // TRANSLATORS: %1$s is the file given, %2$s its permissions in octal (0644); keep
        // "chmod 600".
        Fill(Tr("--password-file %1$s: permissions %2$s are too open: others than its "
                "owner may access it (chmod 600 %1$s)"),
             {path, OctalMode(status.st_mode)}));
  }
  int error = 0;
  std::string bytes = ReadAtMost(fd.get(), kMaxPasswordLineBytes, error);
  if (error != 0) return Refused(path, error);
  return PasswordFromFileBytes(path, std::move(bytes));
}

}  // namespace corvane::cli
