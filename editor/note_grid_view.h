#pragma once
// The grid of note rows: each cell in its note's colour with its code and
// the name of the key it plays. Digits type a code into the cell: 2 to 9 are
// a whole code and move on to the next note, 0 and 1 wait for a second
// digit (1 then 3 makes 13) and move on after it; Space moves on, or, right
// after a code moved on by itself, is taken as the gap between codes.
// Backspace or Delete makes the selected notes 0; the arrow keys move
// around; Shift or the mouse selects several cells, a row's number the row.

#include <QTableView>

#include "editor/cell_clipboard.h"

namespace kelvane {

class NoteGridModel;

class NoteGridView : public QTableView {
  Q_OBJECT
 public:
  explicit NoteGridView(NoteGridModel* model, QWidget* parent = nullptr);

  // The row the row commands and Play Row work on.
  int CurrentRow() const;
  void SelectCell(int row, int column);
  void SelectBlock(const CellBlock& block);
  // The smallest block that holds the selection, or the current cell.
  CellBlock SelectedBlock() const;
  // On to the next note, the first of the next row after a row's last.
  void MoveToNextNote();

 signals:
  // A key that did nothing, and why.
  void Refused(const QString& why);
  // Backspace or Delete on these cells.
  void ClearRequested(const kelvane::CellBlock& block);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  void TypeDigit(const QModelIndex& at, int digit);

  NoteGridModel* model_;
  QPersistentModelIndex pending_;  // the cell where a 0 or 1 was typed, which a second digit completes
  int pendingDigit_ = 0;
  QPersistentModelIndex movedTo_;  // the cell a completed code moved on to by itself
};

}  // namespace kelvane
