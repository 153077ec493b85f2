#include "editor/session_document.h"

namespace kelvane {

SessionDocument NewSessionDocument() {
  SessionDocument d;
  d.colorR = 40, d.colorG = 120, d.colorB = 255;
  d.density = 2;
  d.cycles = 3;
  d.areaX1 = 60, d.areaY1 = 40, d.areaX2 = 660, d.areaY2 = 490;
  NoteRow row{DefaultRowLabel(1), {}};
  for (int j = 0; j < kEditorNotesPerRow; ++j) row.codes[j] = j + 1;
  d.rows.push_back(row);
  return d;
}

std::string DefaultRowLabel(int rowNumber) { return "Row " + std::to_string(rowNumber); }

std::string SuggestedFileName(const SessionDocument& document) {
  std::string name;
  for (const char c : document.sessionName) {
    const auto byte = static_cast<unsigned char>(c);
    name += c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F ? '_' : c;
  }
  const auto first = name.find_first_not_of(" ."), last = name.find_last_not_of(' ');
  // A name of dots and blanks alone would hide the file or be none.
  return first == std::string::npos ? "untitled" : name.substr(first, last - first + 1);
}

std::string TrimmedLabel(std::string label) {
  while (!label.empty() && label.back() == ' ') label.pop_back();
  return label;
}

}  // namespace kelvane
