#include "assets/artwork/artwork.h"

#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QStringList>
#include <stdexcept>

namespace kelvane {

QIcon ApplicationIcon() {
  QIcon icon;
  for (int size : {32, 48, 64, 128, 256}) icon.addFile(QString(":/kelvane/kelvane-%1.png").arg(size), QSize(size, size));
  return icon;
}

QIcon EditorIcon() {
  QIcon icon;
  for (int size : {32, 48, 64, 128, 256})
    icon.addFile(QString(":/kelvane/kelvane-editor-%1.png").arg(size), QSize(size, size));
  return icon;
}

// The picture drawn at twice the size on a scaled display, so the splash and
// About windows stay sharp; its logical size is the same.
QPixmap TitlePicture() {
  const bool scaled = qApp != nullptr && qApp->devicePixelRatio() > 1.0;
  QPixmap picture(scaled ? ":/kelvane/title@2x.png" : ":/kelvane/title.png");
  if (picture.isNull()) throw std::runtime_error("The title picture is missing from the program's resources");
  if (scaled) picture.setDevicePixelRatio(2.0);
  return picture;
}

QString LicenseText() {
  QFile file(":/kelvane/LICENSE.txt");
  if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("The licence text is missing from the program's resources");
  return QString::fromUtf8(file.readAll());
}

QString PhotosensitivityWarning() {
  const QString text = LicenseText();
  const qsizetype start = text.indexOf("PHOTOSENSITIVITY WARNING");
  if (start < 0) throw std::runtime_error("The licence text has no photosensitivity warning");
  // The section runs to the next numbered heading, or to the closing words
  // of the licence as a whole.
  const qsizetype body = text.indexOf('\n', start);
  const QRegularExpression nextHeading("\n(\\d+\\. [A-Z]|If you do not accept these terms)");
  const QRegularExpressionMatch next = nextHeading.match(text, body);
  const QString section = text.mid(body, next.hasMatch() ? next.capturedStart() - body : -1);
  QStringList paragraphs;
  for (const QString& paragraph : section.split(QRegularExpression("\n\\s*\n"), Qt::SkipEmptyParts))
    paragraphs << paragraph.simplified();
  paragraphs.removeAll(QString());
  return paragraphs.join("\n\n");
}

}  // namespace kelvane
