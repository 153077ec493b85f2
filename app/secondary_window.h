#pragma once
// What the program's windows share: the window font, labels that keep their
// design box unless the system font needs more room, the tool-window border
// and the standard OK button.

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

class QDialog;
class QLabel;
class QPushButton;
class QWidget;

namespace kelvane {

// The system's sans-serif font at a pixel size.
QFont WindowFont(int pixels, bool bold = false);
// A plain-text label at its design box, widened when the system font needs
// more room than the design's font did, so no letter is cut off.
QLabel* AddLabel(QWidget& parent, const char* name, const QString& text, const QFont& font, const QRect& box);
// Caption, 11-pixel window font, the application icon, a fixed client size
// at the design position (192, 108), and a slim frame without minimise or
// maximise box.
void SetUpToolWindow(QDialog& window, const QString& caption, QSize clientSize);
// The OK button with its check mark, named BitBtn1.
QPushButton* AddOkButton(QWidget& parent, const QRect& geometry);

}  // namespace kelvane
