#pragma once
// The note rows as a table for the grid: a label column, then the 13 notes.
// It shows the document's rows and hands every edit on; it changes nothing
// itself.

#include <QAbstractTableModel>
#include <functional>
#include <map>
#include <vector>

#include "editor/session_document.h"

namespace kelvane {

class NoteGridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  static constexpr int kLabelColumn = 0;  // columns 1..13 are the notes
  static constexpr int kCodeRole = Qt::UserRole + 1;
  static constexpr int kPlayingRole = Qt::UserRole + 2;
  static constexpr int kProblemRole = Qt::UserRole + 3;

  explicit NoteGridModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  void SetRows(const std::vector<NoteRow>& rows);
  // What is wrong with a row's label, by row, shown on the label in red.
  void SetLabelProblems(std::map<int, QString> problems);
  // The note sounding now (row, column 1..13), or none.
  void SetPlaying(int row, int column);
  // A label (text) or a note code (int) that the user entered at (row, column).
  std::function<void(int row, int column, const QVariant& value)> onEdit;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

 private:
  std::vector<NoteRow> rows_;
  std::map<int, QString> labelProblems_;
  int playingRow_ = -1, playingColumn_ = -1;
};

}  // namespace kelvane
