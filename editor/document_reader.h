#pragma once
// Reads a session into the editor: from an Ambrel table, column by column in
// the loader's order and with its conversions, but without its corrections:
// a value out of range is kept as it is, for the editor to mark.

#include <string>
#include <vector>

#include "editor/document_problems.h"
#include "editor/session_document.h"
#include "toolkit/table.h"

namespace kelvane {

struct LoadedDocument {
  SessionDocument document;
  // What could not be read as it stands (a note pair that is no number, more
  // rows than fit): the editor shows it, and saving writes what it shows.
  std::vector<Problem> problems;
};

// The record of an open table whose alpha texts are in this code page.
// Raises the table's errors ("Field 'Cycles' not found", a text that is no number).
LoadedDocument ReadDocument(Table& table, int codePage);

// A table file on disk. A file that is not a readable table, or whose
// FileType is not "Ambr", raises a DocumentError that names it and says why.
LoadedDocument OpenAmbrelDocument(const std::string& path);

}  // namespace kelvane
