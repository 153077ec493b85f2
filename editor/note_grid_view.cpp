#include "editor/note_grid_view.h"

#include <QHeaderView>
#include <QKeyEvent>

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
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
  setTabKeyNavigation(false);  // Tab leaves the grid, as in the rest of the window
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setDefaultSectionSize(kCellWidth);
  horizontalHeader()->resizeSection(NoteGridModel::kLabelColumn, kLabelWidth);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(kCellHeight);
  setToolTip("Type a note code (0 to 13) into a cell; Space moves on, Backspace makes it 0");
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

void NoteGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  if (current != pendingOne_) pendingOne_ = QPersistentModelIndex();
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
  int code = digit;
  // A 1 and then 0..3 in the same cell make 10..13.
  if (pendingOne_ == at && 10 + digit <= kHighestNoteCode) code = 10 + digit;
  pendingOne_ = code == 1 ? QPersistentModelIndex(at) : QPersistentModelIndex();
  model_->setData(at, code, Qt::EditRole);
}

void NoteGridView::MoveToNextNote(const QModelIndex& at) {
  if (at.column() < kEditorNotesPerRow) SelectCell(at.row(), at.column() + 1);
  else if (at.row() + 1 < model_->rowCount()) SelectCell(at.row() + 1, 1);
}

void NoteGridView::keyPressEvent(QKeyEvent* event) {
  const QModelIndex at = currentIndex();
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (at.isValid() && at.column() != NoteGridModel::kLabelColumn && plain && state() != EditingState) {
    const int key = event->key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
      TypeDigit(at, key - Qt::Key_0);
      return;
    }
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
      pendingOne_ = QPersistentModelIndex();
      model_->setData(at, 0, Qt::EditRole);
      return;
    }
    if (key == Qt::Key_Space) {
      MoveToNextNote(at);
      return;
    }
    // Other keys neither start a label's editor nor type into a note.
    if (!event->text().isEmpty() && event->text().at(0).isPrint()) return;
  }
  QTableView::keyPressEvent(event);
}

}  // namespace kelvane
