#include "editor/note_cell_delegate.h"

#include <QPainter>

#include "editor/label_edit.h"
#include "editor/note_grid_model.h"
#include "editor/note_names.h"
#include "editor/session_document.h"

namespace kelvane {
namespace {

QColor ToQColor(Color c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

// Black on light colours, white on dark ones, by perceived brightness.
QColor TextOn(const QColor& c) {
  return 0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue() > 140 ? Qt::black : Qt::white;
}

}  // namespace

void NoteCellDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  if (index.column() == NoteGridModel::kLabelColumn) {
    QStyleOptionViewItem marked = option;
    // A label the file cannot hold, as a box with a problem is marked.
    if (index.data(NoteGridModel::kProblemRole).toBool()) {
      p->fillRect(option.rect, QColor(0xFF, 0xD6, 0xD6));
      marked.palette.setColor(QPalette::Text, QColor(0x80, 0x00, 0x00));
    }
    QStyledItemDelegate::paint(p, marked, index);
    return;
  }
  const std::int32_t code = index.data(NoteGridModel::kCodeRole).toInt();
  const bool note = IsEditorNoteCode(code);
  const QColor fill = note ? ToQColor(NoteColor(code)) : QColor(0xFF, 0xD6, 0xD6);
  const QRect cell = option.rect.adjusted(1, 1, -1, -1);
  p->save();
  p->fillRect(cell, fill);
  if (!note) p->fillRect(cell, QBrush(QColor(0xC0, 0x00, 0x00), Qt::BDiagPattern));
  const QColor ink = note ? TextOn(fill) : QColor(0x80, 0x00, 0x00);
  p->setPen(ink);
  QFont big = option.font;
  big.setBold(true);
  p->setFont(big);
  const QRect upper(cell.left(), cell.top() + 1, cell.width(), cell.height() / 2);
  p->drawText(upper, Qt::AlignHCenter | Qt::AlignBottom, QString::number(code));
  QFont small = option.font;
  small.setPointSizeF(option.font.pointSizeF() * 0.85);
  p->setFont(small);
  const QRect lower(cell.left(), cell.top() + cell.height() / 2 + 1, cell.width(), cell.height() / 2);
  p->drawText(lower, Qt::AlignHCenter | Qt::AlignTop, note ? QString::fromStdString(NoteName(code)) : QString("?"));
  if (index.data(NoteGridModel::kPlayingRole).toBool()) {
    // The note sounding now: a thick ring that shows on every colour.
    p->setPen(QPen(Qt::black, 4));
    p->drawRect(option.rect.adjusted(2, 2, -2, -2));
    p->setPen(QPen(Qt::white, 2));
    p->drawRect(option.rect.adjusted(2, 2, -2, -2));
  } else if (option.state & QStyle::State_Selected && !(option.state & QStyle::State_HasFocus)) {
    p->setPen(QPen(option.palette.highlight().color(), 2, Qt::DashLine));
    p->drawRect(option.rect.adjusted(2, 2, -2, -2));
  }
  if (option.state & QStyle::State_HasFocus) {
    // Two rings, so the cell in focus shows on light and dark colours alike.
    p->setPen(QPen(option.palette.highlight().color(), 3));
    p->drawRect(option.rect.adjusted(2, 2, -2, -2));
    p->setPen(QPen(Qt::white, 1));
    p->drawRect(option.rect.adjusted(4, 4, -4, -4));
  }
  p->restore();
}

QWidget* NoteCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const {
  return new LabelEdit(parent);
}

}  // namespace kelvane
