#include "editor/cell_clipboard.h"

#include <QString>
#include <QStringList>
#include <algorithm>

#include "editor/note_names.h"
#include "editor/row_edits.h"

namespace kelvane {
namespace {

constexpr int kColumns = 1 + kEditorNotesPerRow;

using Lines = std::vector<QStringList>;

Lines Split(const std::string& text) {
  QStringList lines = QString::fromStdString(text).split('\n');
  for (QString& line : lines)
    if (line.endsWith('\r')) line.chop(1);
  while (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
  Lines out;
  for (const QString& line : lines) out.push_back(line.split('\t'));
  return out;
}

// A cell's value, or an error naming it. Codes must be notes: a paste is
// typing many cells at once, and no key types a code that is not one.
std::string Put(NoteRow& row, int column, const QString& field) {
  if (column == 0) {
    const std::string label = TrimmedLabel(field.toStdString());
    if (field.size() > kRowLabelLength)
      return "a label holds 20 characters, and \"" + label + "\" has " + std::to_string(field.size());
    row.label = label;
    return {};
  }
  bool number = false;
  const int code = field.trimmed().toInt(&number);
  if (!number || !IsEditorNoteCode(code)) return "\"" + field.toStdString() + "\" is not a note code (0 to 13)";
  row.codes[static_cast<std::size_t>(column - 1)] = code;
  return {};
}

PasteResult PasteRows(SessionDocument& d, const CellBlock& at, const Lines& lines) {
  if (d.rows.size() + lines.size() > static_cast<std::size_t>(kEditorMaxRows))
    return {"the " + std::to_string(lines.size()) + " rows do not fit: a session holds 30 rows", {}};
  std::vector<NoteRow> rows;
  for (const QStringList& line : lines) {
    NoteRow& row = rows.emplace_back();
    for (int c = 0; c < kColumns; ++c)
      if (std::string error = Put(row, c, line[c]); !error.empty()) return {error, {}};
  }
  const int first = std::min(at.row + std::max(at.rows, 1), static_cast<int>(d.rows.size()));
  InsertRows(d, first, rows);
  return {{}, {first, 0, static_cast<int>(rows.size()), kColumns}};
}

PasteResult PasteBlock(SessionDocument& d, const CellBlock& at, const Lines& lines) {
  const bool fill = lines.size() == 1 && lines[0].size() == 1 && at.rows * at.columns > 1;
  const int rows = fill ? at.rows : static_cast<int>(lines.size());
  int columns = fill ? at.columns : 0;
  for (const QStringList& line : lines) columns = std::max(columns, static_cast<int>(line.size()));
  if (at.column + columns > kColumns)
    return {std::to_string(columns) + " cells a line do not fit from here: a row has 13 notes", {}};
  if (at.row + rows > kEditorMaxRows) return {"the rows do not fit: a session holds 30 rows", {}};
  SessionDocument out = d;
  while (static_cast<int>(out.rows.size()) < at.row + rows)
    out.rows.push_back(NoteRow{DefaultRowLabel(static_cast<int>(out.rows.size()) + 1), {}});
  for (int r = 0; r < rows; ++r) {
    const QStringList& line = fill ? lines[0] : lines[static_cast<std::size_t>(r)];
    for (int c = 0; c < (fill ? columns : static_cast<int>(line.size())); ++c) {
      NoteRow& row = out.rows[static_cast<std::size_t>(at.row + r)];
      if (std::string error = Put(row, at.column + c, fill ? line[0] : line[c]); !error.empty()) return {error, {}};
    }
  }
  d = std::move(out);
  return {{}, {at.row, at.column, rows, columns}};
}

}  // namespace

std::string CopyCells(const SessionDocument& d, const CellBlock& block) {
  std::string text;
  for (int r = block.row; r < block.row + block.rows && r < static_cast<int>(d.rows.size()); ++r) {
    const NoteRow& row = d.rows[static_cast<std::size_t>(r)];
    for (int c = block.column; c < block.column + block.columns && c < kColumns; ++c) {
      if (c > block.column) text += '\t';
      text += c == 0 ? row.label : std::to_string(row.codes[static_cast<std::size_t>(c - 1)]);
    }
    text += '\n';
  }
  return text;
}

void CutCells(SessionDocument& d, const CellBlock& block) {
  const int count = static_cast<int>(d.rows.size());
  if (block.WholeRows() && block.rows < count) {
    RemoveRows(d, block.row, block.rows);
    return;
  }
  for (int r = block.row; r < block.row + block.rows && r < count; ++r) {
    NoteRow& row = d.rows[static_cast<std::size_t>(r)];
    for (int c = block.column; c < block.column + block.columns && c < kColumns; ++c) {
      if (c == 0) row.label = DefaultRowLabel(r + 1);
      else row.codes[static_cast<std::size_t>(c - 1)] = 0;
    }
  }
}

PasteResult PasteCells(SessionDocument& d, const CellBlock& at, const std::string& text) {
  const Lines lines = Split(text);
  if (lines.empty()) return {"there is nothing to paste", {}};
  const bool rows = std::all_of(lines.begin(), lines.end(), [](const QStringList& l) { return l.size() == kColumns; });
  return rows ? PasteRows(d, at, lines) : PasteBlock(d, at, lines);
}

}  // namespace kelvane
