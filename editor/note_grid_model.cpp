#include "editor/note_grid_model.h"

#include "editor/note_names.h"

namespace kelvane {

void NoteGridModel::SetRows(const std::vector<NoteRow>& rows) {
  if (rows.size() != rows_.size()) {
    beginResetModel();
    rows_ = rows;
    endResetModel();
    return;
  }
  if (rows == rows_) return;
  rows_ = rows;
  emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void NoteGridModel::SetLabelProblems(std::map<int, QString> problems) {
  if (problems == labelProblems_) return;
  labelProblems_ = std::move(problems);
  if (!rows_.empty()) emit dataChanged(index(0, kLabelColumn), index(rowCount() - 1, kLabelColumn));
}

void NoteGridModel::SetPlaying(int row, int column) {
  if (row == playingRow_ && column == playingColumn_) return;
  const QModelIndex before = index(playingRow_, playingColumn_);
  playingRow_ = row, playingColumn_ = column;
  if (before.isValid()) emit dataChanged(before, before, {kPlayingRole});
  const QModelIndex now = index(row, column);
  if (now.isValid()) emit dataChanged(now, now, {kPlayingRole});
}

int NoteGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int NoteGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 1 + kEditorNotesPerRow; }

QVariant NoteGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const NoteRow& row = rows_[static_cast<std::size_t>(index.row())];
  if (index.column() == kLabelColumn) {
    const auto problem = labelProblems_.find(index.row());
    if (role == Qt::DisplayRole || role == Qt::EditRole) return QString::fromStdString(row.label);
    if (role == kProblemRole) return problem != labelProblems_.end();
    if (role == Qt::ToolTipRole)
      return problem != labelProblems_.end() ? problem->second
                                             : QString("The row's label: up to 20 characters, kept in the file");
    return {};
  }
  if (role == kPlayingRole) return index.row() == playingRow_ && index.column() == playingColumn_;
  const std::int32_t code = row.codes[static_cast<std::size_t>(index.column() - 1)];
  if (role == kCodeRole || role == Qt::DisplayRole) return code;
  if (role == Qt::ToolTipRole)
    return IsEditorNoteCode(code) ? QString("Code %1 plays %2").arg(code).arg(QString::fromStdString(NoteName(code)))
                                  : QString("%1 is not a note code (0 to 13)").arg(code);
  return {};
}

QVariant NoteGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role == Qt::ToolTipRole && orientation == Qt::Vertical) return QString("Row %1: 4 seconds").arg(section + 1);
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  return section == kLabelColumn ? QString("Label") : QString::number(section);
}

Qt::ItemFlags NoteGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  // Notes are typed straight into the cell by the view, not in an editor.
  const Qt::ItemFlags base = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  return index.column() == kLabelColumn ? base | Qt::ItemIsEditable : base;
}

bool NoteGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole || !onEdit) return false;
  onEdit(index.row(), index.column(), value);
  return true;
}

}  // namespace kelvane
