#include "editor/note_rows_panel.h"

#include <QLabel>
#include <QToolBar>
#include <QVBoxLayout>

#include "editor/note_grid_model.h"
#include "editor/note_grid_view.h"

namespace kelvane {

NoteRowsPanel::NoteRowsPanel(const std::vector<QAction*>& rowActions, QWidget* parent)
    : QWidget(parent), model_(new NoteGridModel(this)), view_(new NoteGridView(model_, this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* top = new QHBoxLayout;
  auto* title = new QLabel("Note ro&ws (4 seconds each)", this);
  title->setBuddy(view_);
  auto* tools = new QToolBar(this);
  tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
  for (QAction* action : rowActions) tools->addAction(action);
  top->addWidget(title);
  top->addStretch(1);
  top->addWidget(tools);
  layout->addLayout(top);
  layout->addWidget(view_, 1);
}

void NoteRowsPanel::Show(const std::vector<NoteRow>& rows) {
  const int row = view_->currentIndex().row(), column = view_->currentIndex().column();
  model_->SetRows(rows);
  // A reset (a row added or removed) loses the current cell; keep it near.
  if (!view_->currentIndex().isValid() && row >= 0 && !rows.empty())
    view_->SelectCell(std::min(row, static_cast<int>(rows.size()) - 1), column);
}

void NoteRowsPanel::SetOnEdit(std::function<void(int, int, const QVariant&)> onEdit) { model_->onEdit = std::move(onEdit); }

int NoteRowsPanel::CurrentRow() const { return view_->CurrentRow(); }

void NoteRowsPanel::SelectCell(int row, int column) { view_->SelectCell(row, column); }

}  // namespace kelvane
