#pragma once
// Copy, cut and paste of the note grid's cells and rows, as text a
// spreadsheet also takes: a line a row, cells apart by tabs, the label as it
// is and each note as its code.

#include <string>

#include "editor/session_document.h"

namespace kelvane {

// A rectangle of the grid: column 0 is the label, 1 to 13 the notes.
struct CellBlock {
  int row = 0, column = 0;
  int rows = 0, columns = 0;
  bool WholeRows() const { return column == 0 && columns == 1 + kEditorNotesPerRow; }
  friend bool operator==(const CellBlock&, const CellBlock&) = default;
};

std::string CopyCells(const SessionDocument& d, const CellBlock& block);

// Whole rows are removed (one row stays, emptied, when all would go);
// other notes become 0 and labels their row's own name.
void CutCells(SessionDocument& d, const CellBlock& block);

struct PasteResult {
  std::string error;  // empty when pasted
  CellBlock pasted;   // what changed, to select
};

// Whole rows (a label and 13 codes a line) go in after the block's last row.
// Other text replaces the cells from the block's first cell on, adding rows
// as needed up to 30; a single code fills the whole block. Text that is not
// note codes, or that would not fit, changes nothing and says why.
PasteResult PasteCells(SessionDocument& d, const CellBlock& at, const std::string& text);

}  // namespace kelvane
