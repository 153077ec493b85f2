#include "assets/artwork/artwork.h"

#include <QFile>
#include <stdexcept>

namespace kelvane {

QIcon ApplicationIcon() {
  QIcon icon;
  for (int size : {32, 48, 64, 128, 256}) icon.addFile(QString(":/kelvane/kelvane-%1.png").arg(size), QSize(size, size));
  return icon;
}

QPixmap TitlePicture() {
  QPixmap picture(":/kelvane/title.png");
  if (picture.isNull()) throw std::runtime_error("The title picture is missing from the program's resources");
  return picture;
}

QString LicenseText() {
  QFile file(":/kelvane/LICENSE.txt");
  if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("The licence text is missing from the program's resources");
  return QString::fromUtf8(file.readAll());
}

}  // namespace kelvane
