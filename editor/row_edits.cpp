#include "editor/row_edits.h"

#include <algorithm>
#include <utility>

namespace kelvane {
namespace {

// Rows paired with whether they carry their default label, so a change of
// order can rename them afterwards.
std::vector<std::pair<NoteRow, bool>> Marked(const std::vector<NoteRow>& rows) {
  std::vector<std::pair<NoteRow, bool>> out;
  for (std::size_t i = 0; i < rows.size(); ++i)
    out.emplace_back(rows[i], rows[i].label == DefaultRowLabel(static_cast<int>(i) + 1));
  return out;
}

std::vector<NoteRow> Renamed(const std::vector<std::pair<NoteRow, bool>>& marked) {
  std::vector<NoteRow> rows;
  for (std::size_t i = 0; i < marked.size(); ++i) {
    rows.push_back(marked[i].first);
    if (marked[i].second) rows.back().label = DefaultRowLabel(static_cast<int>(i) + 1);
  }
  return rows;
}

int Clamped(int index, std::size_t size) { return std::clamp(index, 0, static_cast<int>(size)); }

}  // namespace

bool IsDefaultRowLabel(const std::string& label) {
  if (label.rfind("Row ", 0) != 0 || label.size() == 4 || label.size() > 7) return false;
  return std::all_of(label.begin() + 4, label.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void InsertRows(SessionDocument& d, int at, std::vector<NoteRow> rows) {
  auto marked = Marked(d.rows);
  std::vector<std::pair<NoteRow, bool>> added;
  for (NoteRow& row : rows) {
    const bool unnamed = IsDefaultRowLabel(row.label);
    added.emplace_back(std::move(row), unnamed);
  }
  marked.insert(marked.begin() + Clamped(at, marked.size()), added.begin(), added.end());
  d.rows = Renamed(marked);
}

void RemoveRows(SessionDocument& d, int first, int count) {
  auto marked = Marked(d.rows);
  const int from = Clamped(first, marked.size()), to = Clamped(first + count, marked.size());
  marked.erase(marked.begin() + from, marked.begin() + to);
  d.rows = Renamed(marked);
}

void SwapRows(SessionDocument& d, int a, int b) {
  auto marked = Marked(d.rows);
  std::swap(marked.at(static_cast<std::size_t>(a)), marked.at(static_cast<std::size_t>(b)));
  d.rows = Renamed(marked);
}

}  // namespace kelvane
