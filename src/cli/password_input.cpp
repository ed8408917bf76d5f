// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/password_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/unique_fd.h"

namespace corvane::cli {

namespace {

std::string OctalMode(mode_t mode) {
  std::array<char, 8> text{};
  std::snprintf(text.data(), text.size(), "%04o", static_cast<unsigned>(mode & 07777));
  return text.data();
}

// The first line, without its line break (LF or CR LF); empty when there are no bytes at all.
std::optional<std::string> FirstLine(std::string bytes) {
  if (bytes.empty()) return std::nullopt;
  const std::size_t end = bytes.find('\n');
  if (end != std::string::npos) bytes.resize(end);
  if (!bytes.empty() && bytes.back() == '\r') bytes.pop_back();
  return bytes;
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

PasswordReading Refused(const std::string& path, std::string_view why) {
  return {{}, std::string("--password-file ") + path + ": " + std::string(why)};
}

// Opened without blocking (a FIFO would wait for a writer), then judged on what was opened.
PasswordReading ReadFromFile(const std::string& path) {
  const platform::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (fd.get() < 0) return Refused(path, std::strerror(errno));
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0) return Refused(path, std::strerror(errno));
  if (!S_ISREG(status.st_mode)) return Refused(path, "not a regular file");
  if ((status.st_mode & 077) != 0) {
    return Refused(path, "permissions " + OctalMode(status.st_mode) +
                             " are too open: others than its owner may access it (chmod 600 " +
                             path + ")");
  }
  int error = 0;
  std::optional<std::string> line = FirstLine(ReadAtMost(fd.get(), kMaxPasswordLineBytes, error));
  if (error != 0) return Refused(path, std::strerror(error));
  if (!line) return Refused(path, "the file is empty");
  return {{platform::SecretText(*line), PasswordSource::kFile}, ""};
}

PasswordReading ReadFromStandardInput(std::istream* input) {
  std::string bytes;
  char c = 0;
  while (input != nullptr && bytes.size() < kMaxPasswordLineBytes && input->get(c)) {
    bytes += c;
    if (c == '\n') break;
  }
  std::optional<std::string> line = FirstLine(std::move(bytes));
  if (!line) return {{}, "--password-file -: standard input is empty"};
  return {{platform::SecretText(*line), PasswordSource::kStandardInput}, ""};
}

}  // namespace

PasswordReading ReadGivenPassword(const CommandLine& line, std::istream* standardInput) {
  if (line.password) return {{platform::SecretText(*line.password), PasswordSource::kOption}, ""};
  if (!line.passwordFile) return {};
  if (*line.passwordFile == "-") return ReadFromStandardInput(standardInput);
  return ReadFromFile(*line.passwordFile);
}

std::string_view DescribeSource(PasswordSource source) {
  switch (source) {
    case PasswordSource::kOption:
      return "--password";
    case PasswordSource::kFile:
      return "--password-file";
    case PasswordSource::kStandardInput:
      return "standard input";
    case PasswordSource::kTerminal:
      return "the terminal";
    case PasswordSource::kNone:
      break;
  }
  return "the default password";
}

}  // namespace corvane::cli
