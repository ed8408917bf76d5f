// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/buffer_text.h"

#include <QByteArray>

namespace corvane::dialogs {

QString FromBufferText(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToBufferText(const QString& text, std::size_t maxBytes) {
  const QByteArray utf8 = text.toUtf8();
  std::size_t length = std::min(static_cast<std::size_t>(utf8.size()), maxBytes);
  // Back off continuation bytes (10xxxxxx) so that no character is cut in two.
  if (length < static_cast<std::size_t>(utf8.size())) {
    while (length > 0 &&
           (static_cast<unsigned char>(utf8[static_cast<qsizetype>(length)]) & 0xC0u) == 0x80u) {
      --length;
    }
  }
  return std::string(utf8.constData(), length);
}

}  // namespace corvane::dialogs
