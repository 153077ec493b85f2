#pragma once
// The note rows: the row commands the window hands in (add, duplicate,
// remove, move up and down), the grid, and the notes to pick with the mouse.

#include <QWidget>
#include <functional>
#include <map>
#include <vector>

#include "editor/session_document.h"

class QAction;

namespace kelvane {

class NoteGridModel;
class NoteGridView;
class NotePalette;

class NoteRowsPanel : public QWidget {
  Q_OBJECT
 public:
  NoteRowsPanel(const std::vector<QAction*>& rowActions, QWidget* parent = nullptr);

  void Show(const std::vector<NoteRow>& rows, std::map<int, QString> labelProblems);
  // A label (text, column 0) or a note code (int, columns 1..13) entered.
  void SetOnEdit(std::function<void(int row, int column, const QVariant& value)> onEdit);
  int CurrentRow() const;
  void SelectCell(int row, int column);
  // The note sounding now, or none (row -1).
  void ShowPlaying(int row, int note);
  NoteGridView* Grid() const { return view_; }
  NotePalette* Palette() const { return palette_; }

 private:
  NoteGridModel* model_;
  NoteGridView* view_;
  NotePalette* palette_;
};

}  // namespace kelvane
