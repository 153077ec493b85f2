#pragma once
// What the program's windows share: the window font, the tool-window border
// and the standard OK button (and, from qt/, labels that keep their design box).

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

#include "qt/design_label.h"

class QDialog;
class QLabel;
class QPushButton;
class QWidget;

namespace kelvane {

// The system's sans-serif font at a pixel size.
QFont WindowFont(int pixels, bool bold = false);
// Caption, 11-pixel window font, the application icon, a fixed client size
// at the design position (192, 108), and a slim frame without minimise or
// maximise box.
void SetUpToolWindow(QDialog& window, const QString& caption, QSize clientSize);
// The OK button with its check mark, named BitBtn1.
QPushButton* AddOkButton(QWidget& parent, const QRect& geometry);

}  // namespace kelvane
