#include "editor/note_grid_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>

#include "editor/note_cell_delegate.h"
#include "editor/note_grid_model.h"
#include "editor/note_names.h"

namespace kelvane {
namespace {

constexpr int kCellWidth = 44;
constexpr int kCellHeight = 38;
constexpr int kLabelWidth = 130;

}  // namespace

NoteGridView::NoteGridView(NoteGridModel* model, QWidget* parent) : QTableView(parent), model_(model) {
  setObjectName("NoteGrid");
  setModel(model);
  setItemDelegate(new NoteCellDelegate(this));
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
  setTabKeyNavigation(false);  // Tab leaves the grid, as in the rest of the window
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setDefaultSectionSize(kCellWidth);
  horizontalHeader()->resizeSection(NoteGridModel::kLabelColumn, kLabelWidth);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(kCellHeight);
  setToolTip("Type note codes (0 to 13): 2 to 9 move on at once, 0 and 1 after a second digit; Space moves on, "
             "Backspace makes a note 0. Click a row's number to select the row.");
}

int NoteGridView::CurrentRow() const {
  const QModelIndex at = currentIndex();
  return at.isValid() ? at.row() : (model_->rowCount() > 0 ? 0 : -1);
}

void NoteGridView::SelectCell(int row, int column) {
  const QModelIndex at = model_->index(row, column);
  if (!at.isValid()) return;
  setCurrentIndex(at);
  scrollTo(at);
}

void NoteGridView::SelectBlock(const CellBlock& block) {
  const QModelIndex first = model_->index(block.row, block.column);
  const QModelIndex last = model_->index(block.row + block.rows - 1, block.column + block.columns - 1);
  if (!first.isValid() || !last.isValid()) return;
  selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
  selectionModel()->select(QItemSelection(first, last), QItemSelectionModel::ClearAndSelect);
  scrollTo(first);
}

CellBlock NoteGridView::SelectedBlock() const {
  const QModelIndexList cells = selectionModel()->selectedIndexes();
  if (cells.isEmpty()) {
    const QModelIndex at = currentIndex();
    return at.isValid() ? CellBlock{at.row(), at.column(), 1, 1} : CellBlock{};
  }
  int top = cells[0].row(), bottom = top, left = cells[0].column(), right = left;
  for (const QModelIndex& cell : cells) {
    top = std::min(top, cell.row()), bottom = std::max(bottom, cell.row());
    left = std::min(left, cell.column()), right = std::max(right, cell.column());
  }
  return {top, left, bottom - top + 1, right - left + 1};
}

void NoteGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  if (current != pending_) pending_ = QPersistentModelIndex();
  if (current != movedTo_) movedTo_ = QPersistentModelIndex();
  QTableView::currentChanged(current, previous);
}

void NoteGridView::focusInEvent(QFocusEvent* event) {
  const bool fresh = !currentIndex().isValid();
  QTableView::focusInEvent(event);
  // Coming into the grid the first time, the keys go to the first note
  // rather than to a label.
  if (fresh) SelectCell(0, 1);
}

void NoteGridView::TypeDigit(const QModelIndex& at, int digit) {
  if (pending_ == at) {
    const int code = pendingDigit_ * 10 + digit;
    pending_ = QPersistentModelIndex();
    if (code > kHighestNoteCode) {
      emit Refused(QString("There is no note %1: the codes go from 0 to 13. The cell keeps %2.").arg(code).arg(pendingDigit_));
      return;
    }
    model_->setData(at, code, Qt::EditRole);
  } else {
    model_->setData(at, digit, Qt::EditRole);
    // No code starts with 2 to 9 and goes on; 0 and 1 may.
    if (digit <= 1) {
      pending_ = QPersistentModelIndex(at);
      pendingDigit_ = digit;
      return;
    }
  }
  MoveToNextNote();
  movedTo_ = QPersistentModelIndex(currentIndex());
}

void NoteGridView::MoveToNextNote() {
  const QModelIndex at = currentIndex();
  if (!at.isValid()) return;
  if (at.column() < kEditorNotesPerRow) SelectCell(at.row(), std::max(at.column() + 1, 1));
  else if (at.row() + 1 < model_->rowCount()) SelectCell(at.row() + 1, 1);
}

void NoteGridView::keyPressEvent(QKeyEvent* event) {
  const QModelIndex at = currentIndex();
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  const QPersistentModelIndex movedTo = movedTo_;
  movedTo_ = QPersistentModelIndex();
  if (at.isValid() && at.column() != NoteGridModel::kLabelColumn && plain && state() != EditingState) {
    const int key = event->key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
      TypeDigit(at, key - Qt::Key_0);
      return;
    }
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
      pending_ = QPersistentModelIndex();
      emit ClearRequested(SelectedBlock());
      return;
    }
    if (key == Qt::Key_Space) {
      // Typed between codes as a habit: the code already moved on.
      if (movedTo != at) MoveToNextNote();
      pending_ = QPersistentModelIndex();
      return;
    }
    // Other keys neither start a label's editor nor type into a note.
    if (!event->text().isEmpty() && event->text().at(0).isPrint()) return;
  }
  QTableView::keyPressEvent(event);
}

}  // namespace kelvane
