// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/login_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "dialogs/buffer_text.h"
#include "dialogs/controls.h"
#include "dialogs/texts.h"

namespace corvane::dialogs {

CLoginDlg::CLoginDlg(int adminLoginMode, QWidget* parent)
    : TemplateDialog(Template{199, 75, text::Shown(text::kLoginTitle)}, parent),
      adminLoginMode_(adminLoginMode) {
  auto* userLabel = new QLabel(text::Shown(text::kUserNameLabel), this);  // owned by the dialog
  Place(userLabel, 13, 21, 41, 8);
  m_editUserName = new QLineEdit(this);
  SetControlId(m_editUserName, kIdUserName);
  m_editUserName->setMaxLength(kMaxChars);
  Place(m_editUserName, 60, 18, 69, 14);

  auto* passwordLabel = new QLabel(text::Shown(text::kPasswordLabel), this);
  Place(passwordLabel, 13, 42, 37, 8);
  m_editPassword = new QLineEdit(this);
  SetControlId(m_editPassword, kIdPassword);
  m_editPassword->setMaxLength(kMaxChars);
  m_editPassword->setEchoMode(QLineEdit::Password);
  Place(m_editPassword, 60, 39, 68, 14);
  NameByLabel(userLabel, m_editUserName);
  NameByLabel(passwordLabel, m_editPassword);

  auto* ok = new QPushButton(text::Shown(text::kOk), this);
  SetControlId(ok, 1);
  ok->setDefault(true);
  Place(ok, 135, 21, 50, 14);
  auto* cancel = new QPushButton(text::Shown(text::kCancel), this);
  SetControlId(cancel, 2);
  Place(cancel, 135, 38, 50, 14);

  connect(ok, &QPushButton::clicked, this, &CLoginDlg::OnOK);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CLoginDlg::FillUserName(const QString& name, bool editable) {
  m_editUserName->setText(name.left(kMaxChars));
  m_editPassword->clear();
  m_editUserName->setEnabled(editable);
}

void CLoginDlg::OnInitDialog() {
  if (adminLoginMode_ == 1) {
    FillUserName(QStringLiteral("admin"), false);
  } else {
    FillUserName(QString(), true);
  }
  // The first field the user can type into takes the focus.
  (m_editUserName->isEnabled() ? m_editUserName : m_editPassword)->setFocus();
}

void CLoginDlg::OnOK() {
  // The device's login buffers hold 16 bytes and a terminator.
  answer_ =
      platform::Credentials{platform::SecretText(ToBufferText(m_editUserName->text(), kMaxChars)),
                            platform::SecretText(ToBufferText(m_editPassword->text(), kMaxChars))};
  m_editPassword->clear();
  // Ends like Cancel: the callers take the answer, not the result.
  done(QDialog::Rejected);
}

}  // namespace corvane::dialogs
