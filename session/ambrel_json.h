#pragma once
// The readable description of a session that `ambrel create` turns into an
// Ambrel table: a JSON object with the table's columns, and "Rows" of 13 note
// codes from which the item texts are made.
//
//   {"SessionName": "Blue Calm", "Comment": "text", "ColorB": 255, "Cycles": 3,
//    "Rows": [[1,2,3,4,5,6,7,8,9,10,11,12,13], ...]}
//
// Missing keys take the loader's reset values (FileType "Ambr"). NumSelItems
// defaults to the number of rows; "Item1".."Item30" given as strings replace
// the made item texts as they are. A key given as null writes a null value.

#include <QByteArray>
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

// Item text of a note row: "Row n" padded with blanks to 20 characters, then
// each code as two digits.
std::string AmbrelItemText(int rowNumber, const std::vector<int>& codes);

}  // namespace kelvane
