#pragma once

#include <QFont>
#include <QRect>
#include <QString>

class QLabel;
class QWidget;

namespace kelvane {

// A plain-text label at its design box, widened when the system font needs
// more room than the design's font did, so no letter is cut off.
QLabel* AddLabel(QWidget& parent, const char* name, const QString& text, const QFont& font, const QRect& box);

}  // namespace kelvane
