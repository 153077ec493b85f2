#pragma once

#include <QString>
#include <QStringDecoder>
#include <string>

namespace kelvane {

// The program keeps texts as 8-bit strings: paths are UTF-8, texts from a
// session table are in its code page, mostly 1252. Shown as UTF-8 where they
// are valid UTF-8, else byte for byte as Latin-1, which is 1252 but for a
// few punctuation marks.
inline QString DisplayText(const std::string& text) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString decoded = utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
  return utf8.hasError() ? QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())) : decoded;
}

}  // namespace kelvane
