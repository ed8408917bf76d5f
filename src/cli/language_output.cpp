// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/language_output.h"

#include <string>

#include "language/codepage_files.h"
#include "platform/translation.h"

namespace corvane::cli {

namespace {

constexpr int kBarWidth = 30;
constexpr std::chrono::seconds kTerminalStep{1};
constexpr std::chrono::seconds kLineStep{10};

std::string Bar(std::chrono::seconds passed, std::chrono::seconds total) {
  const auto filled = static_cast<int>(passed.count() * kBarWidth / total.count());
  const std::string bar = std::string(static_cast<std::size_t>(filled), '#') +
                          std::string(static_cast<std::size_t>(kBarWidth - filled), '.');
  return "\r" +
         // TRANSLATORS: a bar redrawn in place; %1$s is the bar, %2$d the seconds passed, %3$d
         // the seconds of the whole wait. Keep it short: the line must fit in 80 columns.
         platform::Fill(platform::Tr("The device is restarting [%1$s] %2$d s of %3$d s"),
                        {bar, std::to_string(passed.count()), std::to_string(total.count())});
}

}  // namespace

std::string FormatLanguageList() {
  std::string text;
  for (const language::Language& language : language::kLanguages) {
    text += std::string(language.codepage) + "  " + std::string(platform::Tr(language.comboText)) +
            "\n";
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
      // TRANSLATORS: %1$d is the seconds passed, %2$d the seconds of the whole wait.
      out << platform::Fill(platform::Tr("The device is restarting: %1$d s of %2$d s"),
                            {std::to_string(passed.count()), std::to_string(total.count())})
          << "\n"
          << std::flush;
    }
  }
  if (terminal) out << "\n";
}

}  // namespace corvane::cli
