#include "editor/note_rows_panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include "editor/note_grid_model.h"
#include "editor/note_grid_view.h"
#include "editor/note_palette.h"

namespace kelvane {

NoteRowsPanel::NoteRowsPanel(const std::vector<QAction*>& rowActions, QWidget* parent)
    : QWidget(parent),
      model_(new NoteGridModel(this)),
      view_(new NoteGridView(model_, this)),
      palette_(new NotePalette(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* top = new QHBoxLayout;
  auto* title = new QLabel("Note ro&ws, 4 s each", this);
  title->setBuddy(view_);
  top->addWidget(title);
  top->addStretch(1);
  // Buttons rather than a tool bar: a tool bar hides what does not fit
  // behind a menu, and the window scrolls instead.
  for (QAction* action : rowActions) {
    auto* button = new QToolButton(this);
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAutoRaise(true);
    top->addWidget(button);
  }
  layout->addLayout(top);
  layout->addWidget(view_, 1);
  layout->addWidget(palette_);
}

void NoteRowsPanel::Show(const std::vector<NoteRow>& rows, std::map<int, QString> labelProblems) {
  const int row = view_->currentIndex().row(), column = view_->currentIndex().column();
  model_->SetRows(rows);
  model_->SetLabelProblems(std::move(labelProblems));
  // A reset (a row added or removed) loses the current cell; keep it near.
  if (!view_->currentIndex().isValid() && row >= 0 && !rows.empty())
    view_->SelectCell(std::min(row, static_cast<int>(rows.size()) - 1), column);
}

void NoteRowsPanel::SetOnEdit(std::function<void(int, int, const QVariant&)> onEdit) { model_->onEdit = std::move(onEdit); }

int NoteRowsPanel::CurrentRow() const { return view_->CurrentRow(); }

void NoteRowsPanel::SelectCell(int row, int column) { view_->SelectCell(row, column); }

void NoteRowsPanel::ShowPlaying(int row, int note) { model_->SetPlaying(row, row < 0 ? -1 : note + 1); }

}  // namespace kelvane
