// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Asks whether a share is to be mapped by the device's name or by its address.

#include "dialogs/template_dialog.h"
#include "operations/interaction.h"

class QRadioButton;

namespace corvane::dialogs {

class CMapTypeDlg : public TemplateDialog {
  Q_OBJECT

 public:
  static constexpr int kIdHostName = 1031;
  static constexpr int kIdAddress = 1032;

  explicit CMapTypeDlg(QWidget* parent = nullptr);

  // The host name until the user chose otherwise; kCancelled after Cancel, Escape or the close
  // box.
  operations::MapType Answer() const { return answer_; }

  QRadioButton* HostNameButton() const { return m_hostName; }
  QRadioButton* AddressButton() const { return m_address; }

  // What a repaint of the window does: "Host Name" is marked again, the other choice keeps its
  // mark, so whatever was chosen before a repaint, OK then takes the host name.
  void OnPaint();

  // Cancel, Escape and the close box.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnOK();
  void Choose(QRadioButton* chosen);

  operations::MapType answer_ = operations::MapType::kHostName;
  QRadioButton* m_hostName = nullptr;
  QRadioButton* m_address = nullptr;
  bool exposeWatched_ = false;
};

}  // namespace corvane::dialogs
