// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/device_text.h"

#include <QByteArrayView>
#include <QStringDecoder>

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

}  // namespace corvane::app
