// The editor window's commands: menus and shortcuts, undo and redo, the row
// commands and listening.

#include <QAction>
#include <QMenuBar>
#include <QStatusBar>

#include "editor/editor_window.h"
#include "editor/note_rows_panel.h"
#include "editor/session_listener.h"

namespace kelvane {
namespace {

QAction* MakeAction(QObject* parent, const QString& text, const QKeySequence& key, const QString& tip = {}) {
  auto* action = new QAction(text, parent);
  action->setShortcut(key);
  action->setToolTip(tip.isEmpty() ? text : tip);
  return action;
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
  addRowAction_ = MakeAction(this, "Add Row", QKeySequence("Ctrl+Return"), "Add a row after this one (Ctrl+Return)");
  duplicateRowAction_ = MakeAction(this, "Duplicate", QKeySequence("Ctrl+D"), "Duplicate this row (Ctrl+D)");
  removeRowAction_ = MakeAction(this, "Remove", QKeySequence("Ctrl+Delete"), "Remove this row (Ctrl+Delete)");
  rowUpAction_ = MakeAction(this, "Up", QKeySequence("Alt+Up"), "Move this row up (Alt+Up)");
  rowDownAction_ = MakeAction(this, "Down", QKeySequence("Alt+Down"), "Move this row down (Alt+Down)");
  playRowAction_ = MakeAction(this, "Play Row", QKeySequence("F5"), "Play the row with the cursor (F5)");
  playSessionAction_ = MakeAction(this, "Play Session", QKeySequence("F6"), "Play every row once (F6)");
  stopAction_ = MakeAction(this, "Stop", QKeySequence("F8"), "Stop playing (F8)");
  guarded(newAction_, [this] { NewSession(); });
  guarded(openAction_, [this] { OpenSession(); });
  guarded(saveAction_, [this] { SaveSession(); });
  guarded(saveAsAction_, [this] { SaveSessionAs(); });
  guarded(importAction_, [this] { ImportJson(); });
  guarded(exportAction_, [this] { ExportJson(); });
  connect(quitAction_, &QAction::triggered, this, &QWidget::close);
  guarded(undoAction_, [this] { Undo(); });
  guarded(redoAction_, [this] { Redo(); });
  guarded(addRowAction_, [this] { AddRow(); });
  guarded(duplicateRowAction_, [this] { DuplicateRow(); });
  guarded(removeRowAction_, [this] { RemoveRow(); });
  guarded(rowUpAction_, [this] { MoveRow(-1); });
  guarded(rowDownAction_, [this] { MoveRow(1); });
  guarded(playRowAction_, [this] { Listen(rows_->CurrentRow()); });
  guarded(playSessionAction_, [this] { Listen(std::nullopt); });
  guarded(stopAction_, [this] { listener_->Stop(); });
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
  edit->addActions({addRowAction_, duplicateRowAction_, removeRowAction_, rowUpAction_, rowDownAction_});
  QMenu* listen = menuBar()->addMenu("&Listen");
  listen->addActions({playRowAction_, playSessionAction_, stopAction_});
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
  playSessionAction_->setEnabled(rows > 0);
  stopAction_->setEnabled(listener_->Playing());
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
  row.label = DefaultRowLabel(static_cast<int>(model_.Document().rows.size()) + 1);
  Edit([at, row](SessionDocument& d) { d.rows.insert(d.rows.begin() + at, row); }, "");
  rows_->SelectCell(at, 1);
  RefreshActions();
}

void EditorWindow::DuplicateRow() {
  const int at = rows_->CurrentRow();
  if (at < 0) return;
  Edit([at](SessionDocument& d) { d.rows.insert(d.rows.begin() + at + 1, d.rows.at(static_cast<std::size_t>(at))); }, "");
  rows_->SelectCell(at + 1, 1);
  RefreshActions();
}

void EditorWindow::RemoveRow() {
  const int at = rows_->CurrentRow();
  if (at < 0 || model_.Document().rows.size() <= 1) return;
  Edit([at](SessionDocument& d) { d.rows.erase(d.rows.begin() + at); }, "");
  rows_->SelectCell(std::min(at, static_cast<int>(model_.Document().rows.size()) - 1), 1);
  RefreshActions();
}

void EditorWindow::MoveRow(int by) {
  const int at = rows_->CurrentRow(), to = at + by;
  if (at < 0 || to < 0 || to >= static_cast<int>(model_.Document().rows.size())) return;
  Edit([at, to](SessionDocument& d) { std::swap(d.rows.at(static_cast<std::size_t>(at)), d.rows.at(static_cast<std::size_t>(to))); }, "");
  rows_->SelectCell(to, 1);
  RefreshActions();
}

void EditorWindow::Listen(std::optional<int> row) {
  listener_->Play(model_.Document(), row);
  statusBar()->showMessage(row ? QString("Playing row %1").arg(*row + 1)
                               : QString("Playing all %1 rows once").arg(model_.Document().rows.size()));
}

}  // namespace kelvane
