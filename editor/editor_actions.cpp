// The editor window's commands: menus and shortcuts, undo and redo, the row
// commands, the clipboard, and listening.

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>

#include "editor/cell_clipboard.h"
#include "editor/editor_window.h"
#include "editor/note_grid_view.h"
#include "editor/note_names.h"
#include "editor/note_rows_panel.h"
#include "editor/row_edits.h"
#include "editor/session_listener.h"
#include "editor/tunnel_preview.h"

namespace kelvane {
namespace {

QAction* MakeAction(QObject* parent, const QString& text, const QKeySequence& key, const QString& tip = {}) {
  auto* action = new QAction(text, parent);
  action->setShortcut(key);
  action->setToolTip(tip.isEmpty() ? text : tip);
  return action;
}

// A text box with the focus does its own cutting and pasting.
bool TextBoxCommand(const char* command) {
  QWidget* focus = QApplication::focusWidget();
  if (auto* spin = qobject_cast<QAbstractSpinBox*>(focus)) focus = spin->findChild<QLineEdit*>();
  if (qobject_cast<QLineEdit*>(focus) == nullptr && qobject_cast<QPlainTextEdit*>(focus) == nullptr) return false;
  QMetaObject::invokeMethod(focus, command);
  return true;
}

}  // namespace

void EditorWindow::MakeActions() {
  const auto guarded = [this](QAction* action, std::function<void()> handler) {
    connect(action, &QAction::triggered, this, [this, handler] { Guard(handler); });
  };
  newAction_ = MakeAction(this, "&New", QKeySequence::New);
  openAction_ = MakeAction(this, "&Open...", QKeySequence::Open);
  saveAction_ = MakeAction(this, "&Save", QKeySequence::Save);
  saveAsAction_ = MakeAction(this, "Save &As...", QKeySequence("Ctrl+Shift+S"));
  importAction_ = MakeAction(this, "&Import JSON...", {});
  exportAction_ = MakeAction(this, "&Export JSON...", {});
  quitAction_ = MakeAction(this, "&Quit", QKeySequence("Ctrl+Q"));
  undoAction_ = MakeAction(this, "&Undo", QKeySequence::Undo);
  redoAction_ = MakeAction(this, "&Redo", QKeySequence("Ctrl+Shift+Z"));
  redoAction_->setShortcuts({QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")});
  cutAction_ = MakeAction(this, "Cu&t", QKeySequence::Cut, "Cut the selected notes or rows (Ctrl+X)");
  copyAction_ = MakeAction(this, "&Copy", QKeySequence::Copy, "Copy the selected notes or rows (Ctrl+C)");
  pasteAction_ = MakeAction(this, "&Paste", QKeySequence::Paste,
                            "Paste notes from the cell with the cursor on, or rows after its row (Ctrl+V)");
  addRowAction_ = MakeAction(this, "Add Row", QKeySequence("Ctrl+Return"), "Add a row after this one (Ctrl+Return)");
  duplicateRowAction_ = MakeAction(this, "Duplicate", QKeySequence("Ctrl+D"), "Duplicate this row (Ctrl+D)");
  removeRowAction_ = MakeAction(this, "Remove", QKeySequence("Ctrl+Delete"), "Remove this row (Ctrl+Delete)");
  rowUpAction_ = MakeAction(this, "Up", QKeySequence("Alt+Up"), "Move this row up (Alt+Up)");
  rowDownAction_ = MakeAction(this, "Down", QKeySequence("Alt+Down"), "Move this row down (Alt+Down)");
  playRowAction_ = MakeAction(this, "Play Row", QKeySequence("F5"), "Play the row with the cursor (F5)");
  playFromHereAction_ = MakeAction(this, "Play From Here", QKeySequence("F7"),
                                   "Play from the row with the cursor to the last row (F7)");
  playSessionAction_ = MakeAction(this, "Play Session", QKeySequence("F6"), "Play every row once (F6)");
  stopAction_ = MakeAction(this, "Stop", QKeySequence("F8"), "Stop playing (F8)");
  pausePreviewAction_ = MakeAction(this, "Pause Preview", QKeySequence("F9"), "Pause or resume the preview (F9)");
  pausePreviewAction_->setCheckable(true);
  shortcutsAction_ = MakeAction(this, "&Keyboard Shortcuts", QKeySequence::HelpContents);
  warningAction_ = MakeAction(this, "&Photosensitivity Warning", {});
  aboutAction_ = MakeAction(this, "&About Kelvane Editor", {});
  guarded(newAction_, [this] { NewSession(); });
  guarded(openAction_, [this] { OpenSession(); });
  guarded(saveAction_, [this] { SaveSession(); });
  guarded(saveAsAction_, [this] { SaveSessionAs(); });
  guarded(importAction_, [this] { ImportJson(); });
  guarded(exportAction_, [this] { ExportJson(); });
  connect(quitAction_, &QAction::triggered, this, &QWidget::close);
  guarded(undoAction_, [this] { Undo(); });
  guarded(redoAction_, [this] { Redo(); });
  guarded(cutAction_, [this] { CopyCells(true); });
  guarded(copyAction_, [this] { CopyCells(false); });
  guarded(pasteAction_, [this] { PasteCells(); });
  guarded(addRowAction_, [this] { AddRow(); });
  guarded(duplicateRowAction_, [this] { DuplicateRow(); });
  guarded(removeRowAction_, [this] { RemoveRow(); });
  guarded(rowUpAction_, [this] { MoveRow(-1); });
  guarded(rowDownAction_, [this] { MoveRow(1); });
  guarded(playRowAction_, [this] { Listen(rows_->CurrentRow(), 1); });
  guarded(playFromHereAction_, [this] { Listen(rows_->CurrentRow(), kEditorMaxRows); });
  guarded(playSessionAction_, [this] { Listen(0, kEditorMaxRows); });
  guarded(stopAction_, [this] { listener_->Stop(); });
  connect(pausePreviewAction_, &QAction::toggled, this, [this](bool paused) { preview_->SetPaused(paused); });
  guarded(shortcutsAction_, [this] { ShowShortcuts(); });
  guarded(warningAction_, [this] { ShowWarning(); });
  guarded(aboutAction_, [this] { ShowAbout(); });
}

void EditorWindow::MakeMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  file->addActions({newAction_, openAction_, saveAction_, saveAsAction_});
  file->addSeparator();
  file->addActions({importAction_, exportAction_});
  file->addSeparator();
  file->addAction(quitAction_);
  QMenu* edit = menuBar()->addMenu("&Edit");
  edit->addActions({undoAction_, redoAction_});
  edit->addSeparator();
  edit->addActions({cutAction_, copyAction_, pasteAction_});
  edit->addSeparator();
  edit->addActions({addRowAction_, duplicateRowAction_, removeRowAction_, rowUpAction_, rowDownAction_});
  QMenu* listen = menuBar()->addMenu("&Listen");
  listen->addActions({playRowAction_, playFromHereAction_, playSessionAction_, stopAction_});
  listen->addSeparator();
  listen->addAction(pausePreviewAction_);
  QMenu* help = menuBar()->addMenu("&Help");
  help->addActions({shortcutsAction_, warningAction_});
  help->addSeparator();
  help->addAction(aboutAction_);
}

void EditorWindow::RefreshActions() {
  const auto& history = model_.History();
  const int rows = static_cast<int>(model_.Document().rows.size());
  const int row = rows_->CurrentRow();
  undoAction_->setEnabled(history.CanUndo());
  redoAction_->setEnabled(history.CanRedo());
  addRowAction_->setEnabled(rows < kEditorMaxRows);
  duplicateRowAction_->setEnabled(rows < kEditorMaxRows && row >= 0);
  removeRowAction_->setEnabled(rows > 1 && row >= 0);
  rowUpAction_->setEnabled(row > 0);
  rowDownAction_->setEnabled(row >= 0 && row + 1 < rows);
  playRowAction_->setEnabled(row >= 0);
  playFromHereAction_->setEnabled(row >= 0);
  playSessionAction_->setEnabled(rows > 0);
  stopAction_->setEnabled(listener_->Playing());
  pausePreviewAction_->setText(preview_->Paused() ? "Resume Preview" : "Pause Preview");
}

void EditorWindow::Undo() {
  model_.History().Undo();
  Refresh();
}

void EditorWindow::Redo() {
  model_.History().Redo();
  Refresh();
}

void EditorWindow::AddRow() {
  const int at = rows_->CurrentRow() + 1;
  NoteRow row = NewSessionDocument().rows.front();
  Edit([at, row](SessionDocument& d) { InsertRows(d, at, {row}); }, "");
  rows_->SelectCell(at, 1);
  RefreshActions();
}

void EditorWindow::DuplicateRow() {
  const int at = rows_->CurrentRow();
  if (at < 0) return;
  Edit([at](SessionDocument& d) { InsertRows(d, at + 1, {d.rows.at(static_cast<std::size_t>(at))}); }, "");
  rows_->SelectCell(at + 1, 1);
  RefreshActions();
}

void EditorWindow::RemoveRow() {
  const int at = rows_->CurrentRow();
  if (at < 0 || model_.Document().rows.size() <= 1) return;
  Edit([at](SessionDocument& d) { RemoveRows(d, at, 1); }, "");
  rows_->SelectCell(std::min(at, static_cast<int>(model_.Document().rows.size()) - 1), 1);
  RefreshActions();
}

void EditorWindow::MoveRow(int by) {
  const int at = rows_->CurrentRow(), to = at + by;
  if (at < 0 || to < 0 || to >= static_cast<int>(model_.Document().rows.size())) return;
  Edit([at, to](SessionDocument& d) { SwapRows(d, at, to); }, "");
  rows_->SelectCell(to, 1);
  RefreshActions();
}

void EditorWindow::CopyCells(bool cut) {
  if (TextBoxCommand(cut ? "cut" : "copy")) return;
  const CellBlock block = rows_->Grid()->SelectedBlock();
  if (block.rows == 0) return;
  QApplication::clipboard()->setText(QString::fromStdString(kelvane::CopyCells(model_.Document(), block)));
  if (cut) Edit([block](SessionDocument& d) { CutCells(d, block); }, "");
  statusBar()->showMessage(QString("%1 %2").arg(cut ? "Cut" : "Copied").arg(block.WholeRows()
                               ? QString("%1 row%2").arg(block.rows).arg(block.rows == 1 ? "" : "s")
                               : QString("%1 cell%2").arg(block.rows * block.columns).arg(block.rows * block.columns == 1 ? "" : "s")),
                           3000);
}

void EditorWindow::PasteCells() {
  if (TextBoxCommand("paste")) return;
  const CellBlock at = rows_->Grid()->SelectedBlock();
  SessionDocument next = model_.Document();
  const PasteResult result = kelvane::PasteCells(next, at, QApplication::clipboard()->text().toStdString());
  if (!result.error.empty()) {
    statusBar()->showMessage(QString("Nothing pasted: %1").arg(QString::fromStdString(result.error)), 8000);
    return;
  }
  Edit([&next](SessionDocument& d) { d = next; }, "");
  rows_->Grid()->SelectBlock(result.pasted);
}

void EditorWindow::ClearCells(const CellBlock& block) {
  // Backspace and Delete leave the rows where they are, whatever is selected.
  CellBlock cells = block;
  if (cells.WholeRows()) cells.column = 1, cells.columns = kEditorNotesPerRow;
  Edit([cells](SessionDocument& d) { CutCells(d, cells); }, "");
}

// A note picked with the mouse goes into every selected note; into one, it
// then moves on as a typed code does.
void EditorWindow::PutNote(int code) {
  const CellBlock block = rows_->Grid()->SelectedBlock();
  if (block.rows == 0) return;
  const int first = std::max(block.column, 1), last = block.column + block.columns - 1;
  if (last < 1) {
    statusBar()->showMessage("Select the notes to set first", 4000);
    return;
  }
  Edit(
      [block, first, last, code](SessionDocument& d) {
        for (int r = block.row; r < block.row + block.rows; ++r)
          for (int c = first; c <= last; ++c) d.rows.at(static_cast<std::size_t>(r)).codes.at(static_cast<std::size_t>(c - 1)) = code;
      },
      "");
  if (block.rows == 1 && block.columns == 1) rows_->Grid()->MoveToNextNote();
  rows_->Grid()->setFocus(Qt::OtherFocusReason);
}

void EditorWindow::Listen(int first, int count) {
  const int rows = static_cast<int>(model_.Document().rows.size());
  listener_->Play(model_.Document(), first, count);
  const int played = std::min(count, rows - first);
  statusBar()->showMessage(played == 1 ? QString("Playing row %1").arg(first + 1)
                                       : QString("Playing rows %1 to %2").arg(first + 1).arg(first + played));
  ShowSilence();
}

// The sound device is opened off the window's thread: whether it opened is
// known a moment after the play begins.
void EditorWindow::ShowSilence() {
  const QString silence = listener_->Silence();
  if (silence.isEmpty() || silence_->isVisible()) return;
  silence_->setToolTip("No sound device could be opened, so nothing is heard: " + silence);
  silence_->show();
  statusBar()->showMessage("No sound device could be opened: the notes play in silence", 10000);
}

// The note sounding is ringed in the grid and its colour flows into the
// preview; between two notes both stay with the last one.
void EditorWindow::ShowSounding(int row, int note) {
  ShowSilence();
  const auto& rows = model_.Document().rows;
  if (row < 0 || row >= static_cast<int>(rows.size())) return;
  rows_->ShowPlaying(row, note);
  preview_->SetPlayingColor(NoteColor(rows[static_cast<std::size_t>(row)].codes.at(static_cast<std::size_t>(note))));
}

}  // namespace kelvane
