#include "session/session_loader.h"

#include <algorithm>

#include "sound/note_rows.h"
#include "sound/playback.h"
#include "sound/sequence_patch.h"
#include "state/paths.h"
#include "toolkit/text.h"
#include "visual/color_arrays.h"
#include "visual/stimulus_area.h"

namespace kelvane {
namespace {

// Steps 1 to 8: done at every Open, also when the dialog is then cancelled.
// A session that plays goes on, now with these values.
void ResetSession(SessionState& s, MainControls& c) {
  c.shell.ClearComment();
  s.areaCentre = s.areaTopLeft = s.areaBottomRight = Point{};
  s.areaX1 = s.areaY1 = s.areaX2 = s.areaY2 = 0;
  s.tickIndex = 0;
  s.colorR = s.colorG = s.colorB = 0;
  s.cycles = 0;
  s.currentCycle = 0;
  s.geoVertical = 180;
  s.geoHorizontal = 180;
  s.pulsePhase = 0;
  s.form = 1;
  s.pulseFreq = 1000;
  s.density = 1;
  c.surface.Invalidate();
  s.playing = false;
  s.instrumentName = "Acoustic Grand Piano";
  s.instrumentNumber = 0;
  ClearColorSequence(s);
  s.sequenceFileName = "SEQ_1.MID";
  c.table.Close();
}

std::int32_t ReadColor(Table& table, const char* column) { return std::min(table.FieldAsInteger(column), 255); }

// Steps 15 and 16: the columns in their fixed order, each treated as it is read.
void ReadRecord(SessionState& s, Table& t) {
  s.instrumentName = t.FieldAsString("InstrumentSel");
  s.instrumentNumber = t.FieldAsInteger("InstrumentNumber");
  s.sessionName = t.FieldAsString("SessionName");
  s.fileType = t.FieldAsString("FileType");
  s.comment = t.FieldAsString("Comment");
  s.colorR = ReadColor(t, "ColorR");
  s.colorG = ReadColor(t, "ColorG");
  s.colorB = ReadColor(t, "ColorB");
  s.pulseFreq = t.FieldAsInteger("PulseFreq");
  s.pulsePhase = t.FieldAsInteger("PulsePhase");
  s.geoVertical = t.FieldAsInteger("GeoVertical");
  s.geoHorizontal = t.FieldAsInteger("GeoHorizontal");
  s.density = t.FieldAsInteger("Density");
  s.form = t.FieldAsInteger("Form");
  s.cycles = t.FieldAsInteger("Cycles");
  s.areaX1 = t.FieldAsInteger("AreaX1");
  s.areaY1 = t.FieldAsInteger("AreaY1");
  s.areaX2 = t.FieldAsInteger("AreaX2");
  s.areaY2 = t.FieldAsInteger("AreaY2");
  s.numSelItems = t.FieldAsInteger("NumSelItems");
  s.itemCount = s.numSelItems;
  s.colorSequenceLength = std::int64_t{13} * s.numSelItems;
  for (int n = 1; n <= kMaxItems; ++n) {
    s.items[n] = t.FieldAsString("Item" + IntToStr(n));
    // The 20 leading characters of an item are not part of its notes.
    s.itemRows[n] = Copy(s.items[n], 21, 26);
  }
}

// Steps 11 to 20, after the user chose a file. False when the file is not an Ambrel.
bool LoadChosenFile(SessionState& s, MainControls& c) {
  s.sessionOpen = 1;
  const std::string path = c.dialog.FileName();
  c.table.SetTableName(path);
  c.table.Open();
  s.textCodePage = c.table.CodePage();
  s.imageText = c.table.FieldAsString("Image1");
  s.sessionName = path;
  c.shell.SetStatusText(0, ExtractFileName(s.sessionName));
  ReadRecord(s, c.table);
  c.table.Close();
  c.shell.AddCommentLine(s.comment);
  if (s.fileType != kAmbrelFileType) {
    c.shell.ShowErrorMessage("File Not an Ambrel!");
    return false;
  }
  DecodeNoteRows(s, c.shell);
  PatchSequenceInstrument(s, c.shell);
  return true;
}

}  // namespace

void OpenAmbrelMenuClick(SessionState& s, MainControls& c) {
  ResetSession(s, c);
  c.dialog.SetInitialDir(HostPath(kSessionDirectory));
  c.dialog.SetDefaultExt("db");
  c.dialog.SetFileName("*.db");
  if (c.dialog.Execute() && !LoadChosenFile(s, c)) return;
  c.surface.Repaint();
  if (s.sessionOpen == 1) {
    SetUpStimulusArea(s, c.surface);
    StartPlayback(s, c);
  }
}

}  // namespace kelvane
