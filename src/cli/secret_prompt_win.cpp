// SPDX-License-Identifier: GPL-3.0-or-later
// The console's echo goes off through its input mode; the line is read as UTF-16 from the
// console itself, so that any character the user types arrives as it was typed.
#include <windows.h>

#include <iostream>

#include "cli/secret_prompt.h"
#include "platform/secret_text.h"
#include "platform/wide_text_win.h"

namespace corvane::cli {

namespace {

// The console keeps its mode after the program ends: Ctrl-C at the prompt restores the echo
// too, before the default handler ends the program.
HANDLE promptInput = nullptr;
DWORD savedMode = 0;

BOOL WINAPI RestoreEchoOnInterrupt(DWORD) {
  ::SetConsoleMode(promptInput, savedMode);
  return FALSE;
}

class EchoOff {
 public:
  explicit EchoOff(HANDLE input) {
    if (::GetConsoleMode(input, &savedMode) == FALSE) return;
    promptInput = input;
    handler_ = ::SetConsoleCtrlHandler(RestoreEchoOnInterrupt, TRUE) != FALSE;
    restore_ = ::SetConsoleMode(input, savedMode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT)) != FALSE;
  }
  ~EchoOff() {
    if (restore_) ::SetConsoleMode(promptInput, savedMode);
    if (handler_) ::SetConsoleCtrlHandler(RestoreEchoOnInterrupt, FALSE);
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  bool handler_ = false;
  bool restore_ = false;
};

void WipeWide(std::wstring& text) {
  volatile wchar_t* c = text.data();
  for (std::size_t k = 0; k < text.capacity(); ++k) c[k] = L'\0';
  text.clear();
}

}  // namespace

std::optional<std::string> AskSecretOnTerminal(std::string_view prompt) {
  const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (input == INVALID_HANDLE_VALUE || ::GetConsoleMode(input, &mode) == FALSE) {
    return std::nullopt;
  }
  std::cerr << prompt << std::flush;
  std::wstring line;
  bool ended = false;
  {
    const EchoOff echoOff(input);
    wchar_t piece[256];
    for (;;) {
      DWORD got = 0;
      if (::ReadConsoleW(input, piece, 256, &got, nullptr) == FALSE || got == 0) break;
      line.append(piece, got);
      if (line.find(L'\n') != std::wstring::npos) {
        ended = true;
        break;
      }
    }
    for (wchar_t& c : piece) reinterpret_cast<volatile wchar_t&>(c) = L'\0';
  }
  // The echo is off, the Enter key with it: the next output starts on a line of its own.
  std::cerr << '\n' << std::flush;
  if (!ended) {
    WipeWide(line);
    return std::nullopt;
  }
  line.resize(line.find(L'\n'));
  if (!line.empty() && line.back() == L'\r') line.pop_back();
  std::string secret = platform::Utf8(line);
  WipeWide(line);
  return secret;
}

}  // namespace corvane::cli
