#include "editor/document_reader.h"

#include <QString>
#include <algorithm>
#include <cstdio>
#include <fstream>

#include "session/code_pages.h"
#include "session/paradox_reader.h"
#include "session/paradox_table.h"
#include "toolkit/text.h"

namespace kelvane {
namespace {

// "Row 2: notes 1 to 13 ('', '', ...) are no numbers in the file; the editor reads them as 0".
std::string UnreadNotesText(int rowNumber, const std::vector<int>& notes, const std::vector<std::string>& texts) {
  const bool run = notes.back() - notes.front() + 1 == static_cast<int>(notes.size());
  std::string which;
  if (notes.size() == 1) {
    which = "note " + std::to_string(notes[0]) + " (" + texts[0] + ") is no number";
  } else if (run && notes.size() > 3) {
    which = "notes " + std::to_string(notes.front()) + " to " + std::to_string(notes.back()) + " are no numbers";
  } else {
    which = "notes";
    for (std::size_t i = 0; i < notes.size(); ++i)
      which += (i == 0 ? " " : i + 1 == notes.size() ? " and " : ", ") + std::to_string(notes[i]) + " (" + texts[i] + ")";
    which += " are no numbers";
  }
  return "Row " + std::to_string(rowNumber) + ": " + which + " in the file; the editor reads " +
         (notes.size() == 1 ? "it" : "them") + " as 0";
}

// "it starts with “{\n  "Sessi…”", or its first bytes in hexadecimal when
// they are not text, so a person can tell what the file is.
std::string FileStart(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char bytes[16];
  in.read(bytes, sizeof bytes);
  const std::size_t count = static_cast<std::size_t>(std::max<std::streamsize>(0, in.gcount()));
  if (count == 0) return "it is empty";
  const std::string start(bytes, count);
  const bool text = std::all_of(start.begin(), start.end(), [](char c) {
    return (c >= 0x20 && c < 0x7F) || c == '\n' || c == '\r' || c == '\t';
  });
  if (!text) {
    std::string hex;
    for (unsigned char c : start) {
      char two[4];
      std::snprintf(two, sizeof two, "%02X", c);
      hex += (hex.empty() ? "" : " ") + std::string(two);
    }
    return "it starts with the bytes " + hex;
  }
  std::string shown;
  for (char c : start) shown += c == '\n' ? std::string("\u23CE") : std::string(1, c);
  const std::string what = "it starts with \u201C" + shown + "\u2026\u201D";
  return start.find_first_not_of(" \t\r\n") != std::string::npos && start[start.find_first_not_of(" \t\r\n")] == '{'
             ? what + "; a session description (JSON) is read with File > Import JSON"
             : what;
}

// The column of "Field 'Cycles' not found", or nothing.
std::string MissingField(const std::string& error) {
  const std::string head = "Field '", tail = "' not found";
  const auto at = error.find(head);
  if (at == std::string::npos || error.size() < tail.size() || error.compare(error.size() - tail.size(), tail.size(), tail) != 0)
    return {};
  return error.substr(at + head.size(), error.size() - tail.size() - at - head.size());
}

class TextReader {
 public:
  TextReader(Table& table, int codePage) : table_(table), codePage_(codePage) {}
  std::string operator()(const std::string& column) const {
    return QString::fromStdU16String(DecodeCodePage(table_.FieldAsString(column), codePage_)).toStdString();
  }

 private:
  Table& table_;
  int codePage_;
};

// A pair that is no number would end Kelvane's load; here it reads as 0 and
// the user is told, in one line for the row, so the row is neither lost nor
// silently changed.
NoteRow ReadRow(const std::string& item, int rowNumber, int codePage, std::vector<Problem>& problems) {
  NoteRow row;
  row.label = TrimmedLabel(QString::fromStdU16String(DecodeCodePage(Copy(item, 1, kRowLabelLength), codePage)).toStdString());
  const std::string notes = Copy(item, kRowLabelLength + 1, 2 * kEditorNotesPerRow);
  std::vector<int> bad;
  std::vector<std::string> texts;
  for (int j = 0; j < kEditorNotesPerRow; ++j) {
    const std::string pair = Copy(notes, 2 * j + 1, 2);
    try {
      row.codes[static_cast<std::size_t>(j)] = StrToInt(pair);
    } catch (const ConversionError&) {
      bad.push_back(j + 1);
      texts.push_back("'" + QString::fromStdU16String(DecodeCodePage(pair, codePage)).toStdString() + "'");
    }
  }
  if (!bad.empty()) problems.push_back({RowFieldName(rowNumber - 1, false), UnreadNotesText(rowNumber, bad, texts)});
  return row;
}

void ReadRows(Table& t, int codePage, LoadedDocument& out) {
  const std::int32_t count = t.FieldAsInteger("NumSelItems");
  if (count > kEditorMaxRows)
    out.problems.push_back({"NumSelItems", "The file says it has " + std::to_string(count) +
                                               " note rows; only 30 fit, and the editor keeps rows 1 to 30"});
  if (count < 0)
    out.problems.push_back({"NumSelItems", "The file says it has " + std::to_string(count) +
                                               " note rows; the editor reads none"});
  std::vector<std::string> items;
  // Every item, as the loader reads them, so a table Kelvane cannot open does
  // not open here either.
  for (int n = 1; n <= kEditorMaxRows; ++n) items.push_back(t.FieldAsString("Item" + IntToStr(n)));
  for (int n = 1; n <= std::min(count, kEditorMaxRows); ++n)
    out.document.rows.push_back(ReadRow(items[static_cast<std::size_t>(n - 1)], n, codePage, out.problems));
}

}  // namespace

LoadedDocument ReadDocument(Table& t, int codePage) {
  const TextReader text(t, codePage);
  LoadedDocument out;
  SessionDocument& d = out.document;
  d.image = text("Image1");
  d.instrumentName = text("InstrumentSel");
  d.instrumentNumber = t.FieldAsInteger("InstrumentNumber");
  d.sessionName = text("SessionName");
  d.fileType = text("FileType");
  d.comment = text("Comment");
  d.colorR = t.FieldAsInteger("ColorR");
  d.colorG = t.FieldAsInteger("ColorG");
  d.colorB = t.FieldAsInteger("ColorB");
  d.pulseFreq = t.FieldAsInteger("PulseFreq");
  d.pulsePhase = t.FieldAsInteger("PulsePhase");
  d.geoVertical = t.FieldAsInteger("GeoVertical");
  d.geoHorizontal = t.FieldAsInteger("GeoHorizontal");
  d.density = t.FieldAsInteger("Density");
  d.form = t.FieldAsInteger("Form");
  d.cycles = t.FieldAsInteger("Cycles");
  d.areaX1 = t.FieldAsInteger("AreaX1");
  d.areaY1 = t.FieldAsInteger("AreaY1");
  d.areaX2 = t.FieldAsInteger("AreaX2");
  d.areaY2 = t.FieldAsInteger("AreaY2");
  ReadRows(t, codePage, out);
  return out;
}

LoadedDocument OpenAmbrelDocument(const std::string& path) {
  const std::string name = ExtractFileName(path);
  LoadedDocument loaded;
  try {
    ParadoxTable table;
    table.SetTableName(path);
    table.Open();
    loaded = ReadDocument(table, table.Data().codePage);
  } catch (const NotAParadoxTable&) {
    throw DocumentError(name + " is not a session: it is not a Paradox table (" + FileStart(path) + ")");
  } catch (const std::exception& error) {
    const std::string what = error.what();
    const std::string missing = MissingField(what);
    if (!missing.empty())
      throw DocumentError(name + " is not a session: it is a Paradox table without the column " + missing +
                          " that every session has");
    // The table's own errors already begin "Cannot open table <path>".
    throw DocumentError(what.rfind("Cannot open", 0) == 0 ? what : "Cannot open " + name + ": " + what);
  }
  if (loaded.document.fileType != "Ambr")
    throw DocumentError(name + " is not a session: its FileType is '" + loaded.document.fileType +
                        "', where Kelvane's sessions have 'Ambr'. The file was not opened.");
  return loaded;
}

}  // namespace kelvane
