#pragma once
// The JSON session description that `ambrel create` reads and that the
// editor imports and exports.

#include <string>

#include "editor/document_reader.h"
#include "editor/session_document.h"
#include "session/ambrel_json.h"

namespace kelvane {

// Every column, one key a line in the loader's order, with each row once in
// "Rows": its codes, or an object with its label and codes when its label
// is its own. A DocumentError when a code does not fit two characters.
std::string DocumentToJson(const SessionDocument& document);

// Reads what `ambrel create` accepts, with its defaults, exactly as an opened
// table is read; a description it refuses raises a DocumentError with every
// reason, a line each.
LoadedDocument DocumentFromJson(const std::string& json);

// The record `ambrel create` would write for the document; a DocumentError
// when a text or a code cannot be written.
AmbrelTable AmbrelTableOf(const SessionDocument& document);

}  // namespace kelvane
