#pragma once
// Saves a session as an Ambrel table, written by the same code as
// `ambrel create`. The whole table is written beside the target, read back,
// synced and only then renamed over it: a save that fails at any step leaves
// the old file as it was and no half-written file behind.

#include <string>

#include "editor/session_document.h"

namespace kelvane {

// Raises a DocumentError "Cannot save <name>: <reason>".
void SaveAmbrelDocument(const SessionDocument& document, const std::string& path);

}  // namespace kelvane
