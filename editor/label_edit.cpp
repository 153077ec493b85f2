#include "editor/label_edit.h"

#include <QLabel>

#include "editor/session_document.h"

namespace kelvane {

LabelEdit::LabelEdit(QWidget* parent) : QLineEdit(parent), count_(new QLabel(this)) {
  setObjectName("LabelEdit");
  setMaxLength(kRowLabelLength);
  count_->setObjectName("LabelCount");
  count_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  count_->setAttribute(Qt::WA_TransparentForMouseEvents);
  setTextMargins(0, 0, fontMetrics().horizontalAdvance("20/20") + 6, 0);
  connect(this, &QLineEdit::textChanged, this, [this] { ShowCount(false); });
  // Typing or pasting past the limit: the characters beyond it were not taken.
  connect(this, &QLineEdit::inputRejected, this, [this] { ShowCount(true); });
  ShowCount(false);
}

void LabelEdit::ShowCount(bool refused) {
  count_->setText(QString("%1/%2").arg(text().size()).arg(kRowLabelLength));
  const bool full = refused || text().size() >= kRowLabelLength;
  count_->setStyleSheet(full ? "color: #b00000; font-weight: bold" : "color: palette(placeholder-text)");
  setToolTip(refused ? QString("A label holds %1 characters; the rest was not taken").arg(kRowLabelLength)
                     : QString("The row's label: up to %1 characters").arg(kRowLabelLength));
}

void LabelEdit::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  const int width = fontMetrics().horizontalAdvance("20/20") + 4;
  count_->setGeometry(this->width() - width - 3, 0, width, height());
}

}  // namespace kelvane
