// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Asks for a user name and a password: the device administrator password (administrator mode,
// the user name fixed to "admin") or the credentials of a device share. OK and Cancel end the
// dialog alike; only OK leaves an answer, which the caller takes.

#include <optional>
#include <utility>

#include "dialogs/template_dialog.h"
#include "platform/secret_text.h"
#include "protocol/protocol_constants.h"

class QLineEdit;
class QPushButton;

namespace corvane::dialogs {

class CLoginDlg : public TemplateDialog {
  Q_OBJECT

 public:
  static constexpr int kIdUserName = 1016;
  static constexpr int kIdPassword = 1017;
  static constexpr int kMaxChars = static_cast<int>(protocol::kMaxLoginLength);

  // adminLoginMode 1: administrator password; otherwise share credentials.
  CLoginDlg(int adminLoginMode, QWidget* parent = nullptr);

  QLineEdit* UserNameEdit() const { return m_editUserName; }
  QLineEdit* PasswordEdit() const { return m_editPassword; }

  // What OK took from the fields, each cut to 16 bytes of the device's text; nothing after
  // Cancel, Escape or the close box. Taken once.
  std::optional<platform::Credentials> TakeAnswer() { return std::exchange(answer_, {}); }

 protected:
  void OnInitDialog() override;

 private:
  void OnOK();
  void FillUserName(const QString& name, bool editable);

  int adminLoginMode_;
  QLineEdit* m_editUserName = nullptr;
  QLineEdit* m_editPassword = nullptr;
  std::optional<platform::Credentials> answer_;
};

}  // namespace corvane::dialogs
