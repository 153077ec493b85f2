#include "qt/design_label.h"

#include <QLabel>

namespace kelvane {

QLabel* AddLabel(QWidget& parent, const char* name, const QString& text, const QFont& font, const QRect& box) {
  auto* label = new QLabel(&parent);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  label->setText(text);
  label->setFont(font);
  label->setGeometry(box);
  if (label->sizeHint().width() > box.width()) label->resize(label->sizeHint().width(), box.height());
  return label;
}

}  // namespace kelvane
