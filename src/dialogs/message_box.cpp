// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/message_box.h"

#include "dialogs/texts.h"

#include <QMessageBox>
#include <utility>

#include "dialogs/busy_wait.h"
#include "dialogs/look.h"
#include "platform/translation.h"

namespace corvane::dialogs {

namespace {

MessageHook& Hook() {
  static MessageHook hook;
  return hook;
}

QMessageBox::Icon ToBoxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kError:
      return QMessageBox::Critical;
    case MessageIcon::kWarning:
      return QMessageBox::Warning;
    case MessageIcon::kInformation:
      return QMessageBox::Information;
    case MessageIcon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

void ShowMessage(QWidget* parent, std::string_view text, std::string_view caption,
                 MessageIcon icon) {
  // The caption is one of the program's constants, translated here; the text comes translated.
  const QString title =
      caption.empty() ? ApplicationTitle() : FromBufferText(platform::Tr(caption));
  if (Hook()) {
    // Copy first: the hook may replace itself.
    const MessageHook hook = Hook();
    hook(ShownMessage{std::string(text), title.toStdString(), icon});
    return;
  }
  // A box opened inside a blocking wait must still be answerable.
  const BusySuspend answerable;
  QMessageBox box(ToBoxIcon(icon), title, FromBufferText(text), QMessageBox::Ok, parent);
  box.setDefaultButton(QMessageBox::Ok);
  box.exec();
}

void ShowError(QWidget* parent, std::string_view text) {
  ShowMessage(parent, text, text::kError, MessageIcon::kError);
}

void ShowWarning(QWidget* parent, std::string_view text) {
  ShowMessage(parent, text, text::kWarning, MessageIcon::kWarning);
}

void ShowConfirm(QWidget* parent, std::string_view text) {
  ShowMessage(parent, text, text::kConfirm, MessageIcon::kInformation);
}

void SetMessageHook(MessageHook hook) {
  Hook() = std::move(hook);
}

}  // namespace corvane::dialogs
