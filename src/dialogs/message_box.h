// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every message the user sees goes through ShowMessage: a modal box with one OK button.

#include <QString>
#include <functional>
#include <string>
#include <string_view>

#include "dialogs/buffer_text.h"

class QWidget;

namespace corvane::dialogs {

// kNone: a plain box without an icon.
enum class MessageIcon { kError, kWarning, kInformation, kNone };

// The text comes in the user's language already; the caption is a constant marked for
// translation (dialogs/texts.h) and is translated here. An empty caption shows
// ApplicationTitle().
void ShowMessage(QWidget* parent, std::string_view text, std::string_view caption,
                 MessageIcon icon);

// The three kinds the program uses: "Error" for refusals and failures, "Warning" for missing
// input and unreachable devices, "Confirm" for success.
void ShowError(QWidget* parent, std::string_view text);
void ShowWarning(QWidget* parent, std::string_view text);
void ShowConfirm(QWidget* parent, std::string_view text);

struct ShownMessage {
  std::string text;
  std::string caption;  // as shown: translated, or ApplicationTitle() when none was given
  MessageIcon icon;
  friend bool operator==(const ShownMessage&, const ShownMessage&) = default;
};
using MessageHook = std::function<void(const ShownMessage&)>;

// Test hook: while set, every ShowMessage goes to the hook (which "answers" it) instead of a
// window. An empty hook restores real message boxes.
void SetMessageHook(MessageHook hook);

}  // namespace corvane::dialogs
