// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a password file, or on standard input for "--password-file -": the password is
// the first line without its line break, within the reader's limit, and a file with no bytes
// gives none.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "cli/password_input.h"

namespace {

const std::string& Path() {
  static const std::string path = [] {
    std::string pattern = "/tmp/corvane-fuzz-password.XXXXXX";
    return std::string(::mkdtemp(pattern.data())) + "/password";
  }();
  return path;
}

// The password is the input's first bytes, up to the first line break and the reader's limit.
void Check(const corvane::cli::PasswordReading& reading, std::string_view input) {
  if (input.empty()) {
    if (reading.refusal.empty() || reading.given.password) __builtin_trap();
    return;
  }
  if (!reading.refusal.empty() || !reading.given.password) __builtin_trap();
  const std::string_view password = reading.given.password->view();
  if (password.size() > corvane::cli::kMaxPasswordLineBytes) __builtin_trap();
  if (password.find('\n') != std::string_view::npos) __builtin_trap();
  if (input.substr(0, password.size()) != password) __builtin_trap();
  const std::size_t next = password.size();
  if (next < input.size() && next < corvane::cli::kMaxPasswordLineBytes && input[next] != '\n' &&
      input[next] != '\r') {
    __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const int fd = ::open(Path().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return 0;
  const bool written = ::write(fd, data, size) == static_cast<ssize_t>(size);
  ::close(fd);
  if (!written) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  corvane::cli::CommandLine line;
  line.passwordFile = Path();
  Check(corvane::cli::ReadGivenPassword(line, nullptr), bytes);

  std::istringstream input(bytes);
  line.passwordFile = "-";
  Check(corvane::cli::ReadGivenPassword(line, &input), bytes);
  return 0;
}
