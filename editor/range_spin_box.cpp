#include "editor/range_spin_box.h"

#include <QApplication>
#include <QSignalBlocker>
#include <algorithm>
#include <limits>

namespace kelvane {

void MarkProblem(QWidget* widget, const QString& problem, const QString& hint) {
  QPalette palette = QApplication::palette(widget);
  if (!problem.isEmpty()) {
    palette.setColor(QPalette::Base, QColor(0xFF, 0xD6, 0xD6));
    palette.setColor(QPalette::Text, QColor(0x80, 0x00, 0x00));
  }
  widget->setPalette(palette);
  widget->setToolTip(problem.isEmpty() ? hint : problem);
}

RangeSpinBox::RangeSpinBox(int lowest, int highest, QString hint, QWidget* parent)
    : QSpinBox(parent), lowest_(lowest), highest_(highest), hint_(std::move(hint)) {
  // Wide open, so a value a file holds shows as it is.
  setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
  setToolTip(hint_);
  setAccelerated(true);
}

void RangeSpinBox::Show(int value) {
  if (value == this->value()) return;
  const QSignalBlocker quiet(this);
  setValue(value);
}

void RangeSpinBox::SetProblem(const QString& problem) {
  problem_ = problem;
  MarkProblem(this, problem, hint_);
}

void RangeSpinBox::SetHint(const QString& hint) {
  hint_ = hint;
  MarkProblem(this, problem_, hint_);
}

void RangeSpinBox::stepBy(int steps) {
  const long long next = static_cast<long long>(value()) + steps;
  setValue(static_cast<int>(std::clamp<long long>(next, lowest_, highest_)));
  selectAll();
}

QAbstractSpinBox::StepEnabled RangeSpinBox::stepEnabled() const {
  StepEnabled enabled = StepNone;
  if (value() < highest_) enabled |= StepUpEnabled;
  if (value() > lowest_) enabled |= StepDownEnabled;
  return enabled;
}

QSize RangeSpinBox::sizeHint() const {
  // As wide as the valid values need, not as the widest integer.
  QSize size = QSpinBox::sizeHint();
  // Area corners step up to any integer but hold screen pixels: five digits do.
  const int digits = std::min<qsizetype>(5, std::max(QString::number(highest_).size(), QString::number(lowest_).size())) + 1;
  const int text = fontMetrics().horizontalAdvance(QString(digits, QChar('0')));
  const int full = fontMetrics().horizontalAdvance(QString::number(std::numeric_limits<int>::min()));
  size.setWidth(size.width() - full + text);
  return size;
}

}  // namespace kelvane
