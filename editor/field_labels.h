#pragma once
// The names the editor's window gives the session's columns, so that what is
// said about a value names the box it is in rather than the file's column.

#include <string>

namespace kelvane {

// "Frame red" for ColorR, "Row 3" for Item3, "Left (X1)" for AreaX1; a name
// it does not know comes back as it is.
std::string FieldLabel(const std::string& column);

}  // namespace kelvane
