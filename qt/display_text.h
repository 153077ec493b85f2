#pragma once

#include <QString>
#include <QStringDecoder>
#include <string>

#include "session/code_pages.h"

namespace kelvane {

// The program keeps texts as 8-bit strings: paths are UTF-8, texts from a
// session table are in the table's code page. A text in a code page the
// program knows (437, 850, 1252) is shown as that code page says; others,
// and texts whose code page nobody states, as UTF-8 where they are valid
// UTF-8, else byte for byte as Latin-1, which is 1252 but for a few
// punctuation marks.
inline QString DisplayText(const std::string& text, int codePage = 0) {
  if (KnownCodePage(codePage)) return QString::fromStdU16String(DecodeCodePage(text, codePage));
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString decoded = utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
  return utf8.hasError() ? QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())) : decoded;
}

}  // namespace kelvane
