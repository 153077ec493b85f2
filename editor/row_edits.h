#pragma once
// The row commands on a document: insert, remove and move rows. A row whose
// label is the one it got by default ("Row 3" as row 3) keeps following its
// number, so rows are named by where they are, as `ambrel create` names them.

#include <vector>

#include "editor/session_document.h"

namespace kelvane {

// Inserts the rows before row `at` (0-based; the row count appends). A
// pasted row labelled "Row n" for any n counts as unnamed.
void InsertRows(SessionDocument& d, int at, std::vector<NoteRow> rows);
// Removes `count` rows from `first` on.
void RemoveRows(SessionDocument& d, int first, int count);
// Swaps two rows.
void SwapRows(SessionDocument& d, int a, int b);

// True when the label is "Row n" for some whole number n.
bool IsDefaultRowLabel(const std::string& label);

}  // namespace kelvane
