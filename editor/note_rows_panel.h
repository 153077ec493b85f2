#pragma once
// The note rows: the grid, and a tool bar with the row commands the window
// hands in (add, duplicate, remove, move up and down).

#include <QWidget>
#include <functional>
#include <vector>

#include "editor/session_document.h"

class QAction;

namespace kelvane {

class NoteGridModel;
class NoteGridView;

class NoteRowsPanel : public QWidget {
  Q_OBJECT
 public:
  NoteRowsPanel(const std::vector<QAction*>& rowActions, QWidget* parent = nullptr);

  void Show(const std::vector<NoteRow>& rows);
  // A label (text, column 0) or a note code (int, columns 1..13) entered.
  void SetOnEdit(std::function<void(int row, int column, const QVariant& value)> onEdit);
  int CurrentRow() const;
  void SelectCell(int row, int column);
  NoteGridView* Grid() const { return view_; }

 private:
  NoteGridModel* model_;
  NoteGridView* view_;
};

}  // namespace kelvane
