#pragma once
// Paints a note cell in the colour its note gives the tunnel, with the code
// and the key's name; a code that is no note is hatched and marked, the note
// sounding now ringed. Labels are edited in a LabelEdit.

#include <QStyledItemDelegate>

namespace kelvane {

class NoteCellDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace kelvane
