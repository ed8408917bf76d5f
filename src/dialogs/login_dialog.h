// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Asks for a user name and a password: the device administrator password (administrator mode,
// the user name fixed to "admin") or the credentials of a device share. The answer goes into
// the session's LoginUserName and LoginPassword, not into the dialog's result: OK and Cancel
// end the dialog alike, and the caller tries whatever the buffers hold afterwards.

#include "dialogs/template_dialog.h"
#include "platform/system_info.h"
#include "protocol/session.h"

class QLineEdit;
class QPushButton;

namespace corvane::dialogs {

class CLoginDlg : public TemplateDialog {
  Q_OBJECT

 public:
  static constexpr int kIdUserName = 1016;
  static constexpr int kIdPassword = 1017;
  static constexpr int kMaxChars = 16;

  // adminLoginMode 1: administrator password; otherwise share credentials.
  CLoginDlg(protocol::Session& session, int adminLoginMode, const platform::SystemInfo& system,
            QWidget* parent = nullptr);

  QLineEdit* UserNameEdit() const { return m_editUserName; }
  QLineEdit* PasswordEdit() const { return m_editPassword; }

 protected:
  void OnInitDialog() override;

 private:
  void OnOK();
  void FillUserName(const QString& name, bool editable);

  protocol::Session& session_;
  int adminLoginMode_;
  const platform::SystemInfo& system_;
  QLineEdit* m_editUserName = nullptr;
  QLineEdit* m_editPassword = nullptr;
};

}  // namespace corvane::dialogs
