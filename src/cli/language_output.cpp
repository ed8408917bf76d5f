// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/language_output.h"

#include <sstream>

#include "language/codepage_files.h"

namespace corvane::cli {

namespace {

constexpr int kBarWidth = 30;
constexpr std::chrono::seconds kTerminalStep{1};
constexpr std::chrono::seconds kLineStep{10};

std::string Bar(std::chrono::seconds passed, std::chrono::seconds total) {
  const auto filled = static_cast<int>(passed.count() * kBarWidth / total.count());
  std::ostringstream text;
  text << "\rThe device is restarting [" << std::string(static_cast<std::size_t>(filled), '#')
       << std::string(static_cast<std::size_t>(kBarWidth - filled), '.') << "] " << passed.count()
       << " s of " << total.count() << " s";
  return text.str();
}

}  // namespace

std::string FormatLanguageList() {
  std::string text;
  for (const language::Language& language : language::kLanguages) {
    text += std::string(language.codepage) + "  " + std::string(language.comboText) + "\n";
  }
  return text;
}

void ShowRestartWait(std::ostream& out, bool terminal, const Sleeper& sleep,
                     std::chrono::seconds total) {
  if (total.count() <= 0) return;
  const std::chrono::seconds step = terminal ? kTerminalStep : kLineStep;
  if (terminal) out << Bar(std::chrono::seconds(0), total) << std::flush;
  for (std::chrono::seconds passed{0}; passed < total;) {
    const std::chrono::seconds slice = std::min(step, total - passed);
    sleep(slice);
    passed += slice;
    if (terminal) {
      out << Bar(passed, total) << std::flush;
    } else {
      out << "The device is restarting: " << passed.count() << " s of " << total.count() << " s\n"
          << std::flush;
    }
  }
  if (terminal) out << "\n";
}

}  // namespace corvane::cli
