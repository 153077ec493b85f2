#pragma once
// The grid of note rows: each cell in its note's colour with its code and
// the name of the key it plays. Digits type a code into the cell (1 then 3
// makes 13), Backspace or Delete makes it 0, Space moves on to the next
// note, the arrow keys move around.

#include <QTableView>

namespace kelvane {

class NoteGridModel;

class NoteGridView : public QTableView {
  Q_OBJECT
 public:
  explicit NoteGridView(NoteGridModel* model, QWidget* parent = nullptr);

  // The row the row commands and Play Row work on.
  int CurrentRow() const;
  void SelectCell(int row, int column);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  void TypeDigit(const QModelIndex& at, int digit);
  void MoveToNextNote(const QModelIndex& at);

  NoteGridModel* model_;
  QPersistentModelIndex pendingOne_;  // the cell where a 1 was typed, which a second digit may extend
};

}  // namespace kelvane
