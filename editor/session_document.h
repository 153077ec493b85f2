#pragma once
// The session being edited: every column of an Ambrel record, with the note
// rows as the items 1..NumSelItems. Texts are UTF-8 here; tables keep them in
// an 8-bit code page, and the reader and writer translate.

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace kelvane {

inline constexpr int kEditorMaxRows = 30;
inline constexpr int kEditorNotesPerRow = 13;
// The characters before an item's note codes.
inline constexpr int kRowLabelLength = 20;

// A file that cannot be opened, imported or saved; the text says which and why.
class DocumentError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct NoteRow {
  std::string label;  // without the blanks that pad it to 20 characters in the table
  std::array<std::int32_t, kEditorNotesPerRow> codes{};
  friend bool operator==(const NoteRow&, const NoteRow&) = default;
};

struct SessionDocument {
  std::string sessionName;
  std::string comment;
  std::string image;  // Image1: nothing plays it, but it is the file's and is kept
  std::string instrumentName = "Acoustic Grand Piano";
  std::string fileType = "Ambr";
  std::int32_t instrumentNumber = 0;
  std::int32_t colorR = 0, colorG = 0, colorB = 0;
  std::int32_t pulseFreq = 1000;
  std::int32_t pulsePhase = 0;
  std::int32_t geoVertical = 180;
  std::int32_t geoHorizontal = 180;
  std::int32_t density = 1;
  std::int32_t form = 1;
  std::int32_t cycles = 0;
  std::int32_t areaX1 = 0, areaY1 = 0, areaX2 = 0, areaY2 = 0;
  std::vector<NoteRow> rows;
  friend bool operator==(const SessionDocument&, const SessionDocument&) = default;
};

// What File > New starts from: a session that plays as it is, one row
// climbing the scale, in a frame that fits a small screen.
SessionDocument NewSessionDocument();

// The label a row gets when nobody named it: "Row n", as `ambrel create` writes.
std::string DefaultRowLabel(int rowNumber);

// A file name for the session, without extension: its name, with what a
// file name cannot hold replaced; "untitled" when it has none.
std::string SuggestedFileName(const SessionDocument& document);

// The label without the blanks at its end, which the table's padding would eat.
std::string TrimmedLabel(std::string label);

}  // namespace kelvane
