#pragma once
// The pictures and the licence text compiled into the program.

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace kelvane {

// The application icon, 32 x 32 for the windows and larger for the desktop.
QIcon ApplicationIcon();
// The session editor's icon.
QIcon EditorIcon();
// The 362 x 425 title picture of the splash and About windows.
QPixmap TitlePicture();
// The licence terms, the disclaimer of warranty and the photosensitivity warning.
QString LicenseText();
// The licence's photosensitivity warning alone, its paragraphs unwrapped,
// blank lines between them.
QString PhotosensitivityWarning();

}  // namespace kelvane
