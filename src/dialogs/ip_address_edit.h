// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// An IPv4 address entry: four octet fields separated by dots inside one edit frame. Typing a
// '.' or the third digit moves on to the next field, Backspace in an empty field goes back to
// the previous one, and the arrow keys cross field borders. Tab moves past the whole control.
// Screen readers meet it as one named text field whose text is the address.

#include <QWidget>
#include <array>

#include "protocol/address_text.h"

class QLineEdit;
class QLabel;

namespace corvane::dialogs {

class IpAddressEdit : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kFieldCount = 4;

  explicit IpAddressEdit(QWidget* parent = nullptr);

  void ClearAddress();
  bool IsBlank() const;  // all four fields empty
  // An empty field reads as 0; values are clamped to 0-255.
  protocol::Octets GetAddress() const;
  void SetAddress(const protocol::Octets& octets);
  void SetFieldFocus(int field);  // 0-3; the field's text is selected
  QLineEdit* Field(int field) const;
  // The fields as they read, joined by dots ("192.168.50.21", "10..0."); empty when blank.
  QString AddressText() const;
  // Names the control and each of its fields for screen readers, which read the control as one
  // address.
  void SetAccessibleName(const QString& name);

 signals:
  void addressEdited();  // the user changed a field

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  int IndexOf(const QObject* object) const;
  void OnFieldEdited(int field);
  bool HandleKey(int field, class QKeyEvent* key);
  void FocusFieldAtEnd(int field);
  void NormaliseField(int field);

  std::array<QLineEdit*, kFieldCount> fields_{};
  std::array<QLabel*, kFieldCount - 1> dots_{};
};

}  // namespace corvane::dialogs
