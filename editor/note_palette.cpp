#include "editor/note_palette.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QToolButton>

#include "editor/note_names.h"

namespace kelvane {
namespace {

constexpr QSize kSwatch(30, 28);

QColor ToQColor(Color c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

// The swatch a button shows: the colour, the code and the key.
QIcon Swatch(int code, const QFont& font) {
  QPixmap pixmap(kSwatch);
  const QColor fill = ToQColor(NoteColor(code));
  pixmap.fill(fill);
  QPainter p(&pixmap);
  p.setPen(0.299 * fill.red() + 0.587 * fill.green() + 0.114 * fill.blue() > 140 ? Qt::black : Qt::white);
  QFont bold = font;
  bold.setBold(true);
  p.setFont(bold);
  p.drawText(QRect(0, 0, kSwatch.width(), kSwatch.height() / 2 + 1), Qt::AlignCenter, QString::number(code));
  QFont small = font;
  small.setPointSizeF(font.pointSizeF() * 0.8);
  p.setFont(small);
  p.drawText(QRect(0, kSwatch.height() / 2, kSwatch.width(), kSwatch.height() / 2), Qt::AlignCenter, QString::fromStdString(NoteName(code)));
  return QIcon(pixmap);
}

}  // namespace

NotePalette::NotePalette(QWidget* parent) : QWidget(parent) {
  setObjectName("NotePalette");
  layout_ = new QGridLayout(this);
  layout_->setContentsMargins(0, 0, 0, 0);
  layout_->setSpacing(1);
  title_ = new QLabel("Notes:", this);
  for (int code = kLowestNoteCode; code <= kHighestNoteCode; ++code) {
    auto* button = new QToolButton(this);
    button->setObjectName(QString("Note%1").arg(code));
    button->setIcon(Swatch(code, font()));
    button->setIconSize(kSwatch);
    button->setAutoRaise(true);
    button->setToolTip((code == 0 ? QString("Code 0 plays C4 like code 1 and shows black")
                                  : QString("Code %1 plays %2").arg(code).arg(QString::fromStdString(NoteName(code)))) +
                       "; click to put it into the selected notes");
    button->setFocusPolicy(Qt::NoFocus);  // the keys stay in the grid
    connect(button, &QToolButton::clicked, this, [this, code] { emit Picked(code); });
    buttons_.push_back(button);
  }
  Arrange(1);
}

int NotePalette::WidthFor(int lines) const {
  const int perLine = (static_cast<int>(buttons_.size()) + lines - 1) / lines;
  return title_->sizeHint().width() + perLine * (buttons_[0]->sizeHint().width() + layout_->spacing()) + 8;
}

void NotePalette::Arrange(int lines) {
  if (lines == lines_) return;
  lines_ = lines;
  for (QToolButton* button : buttons_) layout_->removeWidget(button);
  layout_->removeWidget(title_);
  layout_->addWidget(title_, 0, 0, lines, 1);
  const int perLine = (static_cast<int>(buttons_.size()) + lines - 1) / lines;
  for (int i = 0; i < static_cast<int>(buttons_.size()); ++i)
    layout_->addWidget(buttons_[static_cast<std::size_t>(i)], i / perLine, 1 + i % perLine);
  for (int column = 1; column <= static_cast<int>(buttons_.size()) + 1; ++column) layout_->setColumnStretch(column, 0);
  layout_->setColumnStretch(perLine + 1, 1);
  updateGeometry();
}

QSize NotePalette::minimumSizeHint() const { return {WidthFor(2), QWidget::minimumSizeHint().height()}; }

void NotePalette::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Arrange(width() >= WidthFor(1) ? 1 : 2);
}

}  // namespace kelvane
