#pragma once
// The readable description of a session that `ambrel create` turns into an
// Ambrel table: a JSON object with the table's columns, and "Rows" from which
// the item texts are made. A row is its 13 note codes (-9 to 99, what two
// characters hold), or, for a row with a label of its own, an object with
// the label and the codes:
//
//   {"SessionName": "Blue Calm", "Comment": "text", "ColorB": 255, "Cycles": 3,
//    "Rows": [[1,2,3,4,5,6,7,8,9,10,11,12,13],
//             {"Label": "Falling", "Notes": [13,12,11,10,9,8,7,6,5,4,3,2,1]}]}
//
// Missing keys take the loader's reset values (FileType "Ambr"). NumSelItems
// defaults to the number of rows. "Item1".."Item30" given as strings are the
// item texts as they are, for rows "Rows" does not give (older descriptions
// give both; they must then agree). A key given as null writes a null value.
// A description with errors raises all of them at once, a line each.

#include <QByteArray>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "session/pxlib_writer.h"

namespace kelvane {

class AmbrelJsonError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The columns of the Ambrel record in the loader's order, and the one row.
struct AmbrelTable {
  std::vector<PxColumn> columns;
  PxRow row;
};

AmbrelTable AmbrelFromJson(const QByteArray& json);

// `ambrel create`: the table described by the JSON file at jsonPath, written
// beside outPath and renamed into place, so a failure leaves no half table.
// Errors name the file they are about.
void CreateAmbrelTable(const std::string& jsonPath, const std::string& outPath);

// Item text of a note row: its label (code page 1252; "Row n" when it has
// none) padded with blanks to 20 characters, then each code as two
// characters ("07", "13", "-1").
std::string AmbrelItemText(int rowNumber, const std::vector<int>& codes,
                           const std::optional<std::string>& label = std::nullopt);

}  // namespace kelvane
