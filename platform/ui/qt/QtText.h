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

// A button's or label's text: "__" marks the next letter as the keyboard
// mnemonic ("__Cancel": Alt+C), shown underlined; a plain '&' stays a '&'.
inline QString ToQtMnemonic(const std::string& latin1) {
  QString text = ToQt(latin1);
  text.replace(QLatin1Char('&'), QLatin1String("&&"));
  if (const qsizetype at = text.indexOf(QLatin1String("__")); at >= 0) text.replace(at, 2, QLatin1Char('&'));
  return text;
}

// The text as read aloud, without its mnemonic mark.
inline QString WithoutMnemonic(const std::string& latin1) {
  QString text = ToQt(latin1);
  if (const qsizetype at = text.indexOf(QLatin1String("__")); at >= 0) text.remove(at, 2);
  return text;
}

// Characters beyond Latin-1 become '?'.
inline std::string FromQt(const QString& text) {
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// A layout name as words, for screen readers when nothing visible names the
// widget: "AcqStateText" -> "Acq state text".
inline QString ReadableName(const std::string& name) {
  QString words;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    const bool upper = c >= 'A' && c <= 'Z';
    const bool wordStart = i > 0 && upper && ((name[i - 1] >= 'a' && name[i - 1] <= 'z') ||
                                              (i + 1 < name.size() && name[i + 1] >= 'a' && name[i + 1] <= 'z'));
    if (wordStart) words += QLatin1Char(' ');
    words += QLatin1Char(i > 0 && upper && wordStart ? static_cast<char>(c - 'A' + 'a') : c);
  }
  return words;
}

inline QColor ToColour(int rgb) {
  if (rgb == VAL_TRANSPARENT) return QColor(Qt::transparent);
  return QColor::fromRgb(static_cast<QRgb>(rgb & 0xFFFFFF));
}

}  // namespace uiqt
