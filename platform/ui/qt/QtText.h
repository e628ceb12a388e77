// The model's Latin-1 texts and colours on the Qt side.
#pragma once

#include <QColor>
#include <QString>

#include <string>

#include "platform/ui/UiConstants.h"

namespace uiqt {

// Shown as written, except that a lone carriage return breaks the line too.
inline QString ToQt(const std::string& latin1) {
  QString text = QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size()));
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

// Characters beyond Latin-1 become '?'.
inline std::string FromQt(const QString& text) {
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

inline QColor ToColour(int rgb) {
  if (rgb == VAL_TRANSPARENT) return QColor(Qt::transparent);
  return QColor::fromRgb(static_cast<QRgb>(rgb & 0xFFFFFF));
}

}  // namespace uiqt
