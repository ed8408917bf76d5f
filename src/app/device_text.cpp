// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/device_text.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QLineEdit>
#include <QStringDecoder>
#include <QVariant>

namespace corvane::app {

QString FromDeviceText(std::string_view bytes) {
  const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8(view);
  if (!utf8.hasError()) return text;
  return QString::fromLatin1(view);
}

std::string ToDeviceText(const QString& text) {
  return text.toUtf8().toStdString();
}

namespace {

constexpr char kBytesProperty[] = "corvaneDeviceBytes";
constexpr char kShownProperty[] = "corvaneDeviceShown";

bool IsUtf8(QByteArrayView bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString decoded = utf8(bytes);  // decoding happens on the conversion to QString
  return !utf8.hasError();
}

QByteArray ToByteArray(std::string_view bytes) {
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

void RememberDeviceBytes(QLineEdit* edit, std::string_view bytes) {
  edit->setProperty(kBytesProperty, ToByteArray(bytes));
  edit->setProperty(kShownProperty, edit->text());
}

std::string DeviceEditText(const QLineEdit* edit) {
  // Valid UTF-8 comes back the same from the text itself.
  const QVariant shown = edit->property(kShownProperty);
  const QByteArray bytes = edit->property(kBytesProperty).toByteArray();
  if (shown.isValid() && shown.toString() == edit->text() && !IsUtf8(bytes)) {
    return bytes.toStdString();
  }
  return ToDeviceText(edit->text());
}

}  // namespace corvane::app
