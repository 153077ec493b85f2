// The editor's document without a window: every column and row through a
// saved table and through JSON, the table as Kelvane's reader sees it, undo
// and redo, saves that fail, files that are not sessions, and the marks on
// values out of range.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "editor/document_json.h"
#include "editor/document_reader.h"
#include "editor/document_writer.h"
#include "editor/editor_model.h"
#include "editor/general_midi.h"
#include "editor/note_names.h"
#include "session/ambrel_json.h"
#include "session/paradox_table.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// Every column away from its default, texts with characters of code page
// 1252 beyond ASCII, a comment of two lines, and all 30 rows with labels of
// every kind, one of them the full 20 characters.
SessionDocument FullDocument() {
  SessionDocument d;
  d.sessionName = "\xC3\x89vening Tide";                   // É
  d.comment = "Two lines,\nthe second \xE2\x80\x93 with \xE2\x82\xAC";  // en dash, euro sign
  d.image = "tide.bmp";
  d.instrumentName = "My Strings";
  d.instrumentNumber = 48;
  d.colorR = 12, d.colorG = 200, d.colorB = 77;
  d.pulseFreq = 2879, d.pulsePhase = 1, d.geoVertical = 91, d.geoHorizontal = 270;
  d.density = 16, d.form = 2, d.cycles = 9999;
  d.areaX1 = 7, d.areaY1 = 9, d.areaX2 = 7680, d.areaY2 = 4320;
  for (int i = 1; i <= 30; ++i) {
    NoteRow row;
    row.label = i % 3 == 0 ? "Row " + std::to_string(i) : i == 5 ? "Crescendo to the top" : "Wave \xC3\xBC " + std::to_string(i);
    if (i == 7) row.label = "";
    for (int j = 0; j < 13; ++j) row.codes[j] = (i * 5 + j * 3) % 14;
    d.rows.push_back(row);
  }
  return d;
}

// What a file may hold that Kelvane plays oddly: kept as it is, never clamped.
SessionDocument OddDocument() {
  SessionDocument d = NewSessionDocument();
  d.instrumentNumber = 200, d.colorR = 300, d.density = 0, d.form = 7, d.cycles = -4, d.pulseFreq = 40000;
  d.areaX1 = 500, d.areaX2 = 100;
  d.rows[0].codes[0] = -1, d.rows[0].codes[12] = 99;
  return d;
}

class EditorDocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("kelvane-editor-test-" + std::to_string(::getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override {
    fs::permissions(dir, fs::perms::owner_all);
    fs::remove_all(dir);
  }
  std::string Path(const std::string& name) const { return (dir / name).string(); }
  std::string WriteJsonTable(const std::string& name, const std::string& json) {
    const AmbrelTable t = AmbrelFromJson(QByteArray::fromStdString(json));
    WritePxlibTable(Path(name), t.columns, {t.row});
    return Path(name);
  }
  static std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  fs::path dir;
};

TEST_F(EditorDocumentTest, EveryColumnAndRowSurvivesSaveThenOpen) {
  for (const SessionDocument& d : {FullDocument(), OddDocument(), NewSessionDocument()}) {
    SaveAmbrelDocument(d, Path("session.db"));
    const LoadedDocument back = OpenAmbrelDocument(Path("session.db"));
    EXPECT_EQ(back.document, d);
    EXPECT_TRUE(back.problems.empty());
  }
  // Nothing but the table is left beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(EditorDocumentTest, KelvanesReaderFindsEachValueInItsColumn) {
  const SessionDocument d = FullDocument();
  SaveAmbrelDocument(d, Path("session.db"));
  ParadoxTable t;
  t.SetTableName(Path("session.db"));
  t.Open();
  const std::pair<const char*, int> numbers[] = {
      {"InstrumentNumber", 48}, {"ColorR", 12},   {"ColorG", 200},   {"ColorB", 77},  {"PulseFreq", 2879},
      {"PulsePhase", 1},        {"GeoVertical", 91}, {"GeoHorizontal", 270}, {"Density", 16}, {"Form", 2},
      {"Cycles", 9999},         {"AreaX1", 7},    {"AreaY1", 9},     {"AreaX2", 7680}, {"AreaY2", 4320},
      {"NumSelItems", 30}};
  for (const auto& [column, value] : numbers) EXPECT_EQ(t.FieldAsInteger(column), value) << column;
  EXPECT_EQ(t.FieldAsString("FileType"), "Ambr");
  EXPECT_EQ(t.FieldAsString("SessionName"), "\xC9vening Tide");  // code page 1252, as Kelvane reads it
  EXPECT_EQ(t.FieldAsString("Comment"), "Two lines,\nthe second \x96 with \x80");
  EXPECT_EQ(t.FieldAsString("InstrumentSel"), "My Strings");
  EXPECT_EQ(t.FieldAsString("Image1"), "tide.bmp");
  EXPECT_EQ(t.FieldAsString("Item1"), "Wave \xFC 1            05081100030609120104071013");
  EXPECT_EQ(t.FieldAsString("Item3"), "Row 3               01040710130205081100030609");
  EXPECT_EQ(t.FieldAsString("Item5"), "Crescendo to the top11000306091201040710130205");
  EXPECT_EQ(t.FieldAsString("Item7"), "                    07101302050811000306091201");
}

TEST_F(EditorDocumentTest, JsonExportIsWhatAmbrelCreateReadsAndImportsBackUnchanged) {
  for (const SessionDocument& d : {FullDocument(), OddDocument(), NewSessionDocument()}) {
    const std::string json = DocumentToJson(d);
    EXPECT_EQ(DocumentFromJson(json).document, d) << json;
    // ambrel create writes the very table that Save writes.
    WriteJsonTable("created.db", json);
    SaveAmbrelDocument(d, Path("saved.db"));
    EXPECT_EQ(OpenAmbrelDocument(Path("created.db")).document, OpenAmbrelDocument(Path("saved.db")).document);
  }
  // Each row once, in one form: its codes, with its label when it has its own.
  const std::string plain = DocumentToJson(NewSessionDocument());
  EXPECT_THAT(plain, HasSubstr("    [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13]\n"));
  const std::string full = DocumentToJson(FullDocument());
  EXPECT_THAT(full, HasSubstr(R"({"Label": "Crescendo to the top", "Notes": [11, 0, 3, 6, 9, 12, 1, 4, 7, 10, 13, 2, 5]})"));
  EXPECT_THAT(full, ::testing::Not(HasSubstr("\"Item")));
}

// A person edits an exported description by hand: the rows read back as
// edited, by Import and by ambrel create alike.
TEST_F(EditorDocumentTest, AnEditedRowsSurvivesExportEditAndImport) {
  EditorModel model;
  model.History().Apply(FullDocument());
  model.ExportJson(Path("session.json"));
  std::string json = Bytes(Path("session.json"));
  const auto edit = [&json](const std::string& from, const std::string& to) {
    const auto at = json.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    json.replace(at, from.size(), to);
  };
  // Row 5 has a label of its own, row 3 the one it gets by default.
  edit(R"("Notes": [11, 0, 3, 6, 9, 12, 1, 4, 7, 10, 13, 2, 5])", R"("Notes": [9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 1])");
  edit("[1, 4, 7, 10, 13, 2, 5, 8, 11, 0, 3, 6, 9]", "[2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2]");
  edit("\"Label\": \"Wave \xC3\xBC 8\"", R"("Label": "Renamed")");
  std::ofstream(Path("session.json"), std::ios::trunc) << json;

  SessionDocument expected = FullDocument();
  expected.rows[4].codes = {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 1};
  expected.rows[2].codes.fill(2);
  expected.rows[7].label = "Renamed";
  model.ImportJson(Path("session.json"));
  EXPECT_EQ(model.Document(), expected);
  CreateAmbrelTable(Path("session.json"), Path("created.db"));
  EXPECT_EQ(OpenAmbrelDocument(Path("created.db")).document, expected);

  // Older descriptions give a labelled row twice, in "Rows" and as its item
  // text: read as long as the two agree, refused with the reason once they do not.
  const std::string older = R"({"Rows": [[1,2,3,4,5,6,7,8,9,10,11,12,13]],
                                "Item1": "Intro               01020304050607080910111213"})";
  EXPECT_EQ(DocumentFromJson(older).document.rows[0].label, "Intro");
  std::string edited = older;
  edited.replace(edited.find("[1,2,3"), 6, "[3,2,1");
  try {
    DocumentFromJson(edited);
    ADD_FAILURE() << "an edit of Rows was ignored";
  } catch (const DocumentError& error) {
    EXPECT_THAT(error.what(), HasSubstr("'Item1' and row 1 of 'Rows' give row 1 differently"));
  }
}

TEST_F(EditorDocumentTest, ImportReadsEveryDescriptionAmbrelCreateAcceptsAsItsTableOpens) {
  std::vector<std::string> descriptions = {"{}", R"({"NumSelItems": 2, "Rows": [[1,1,1,1,1,1,1,1,1,1,1,1,1]]})",
                                           R"({"FileType": "Text", "Comment": null, "Item1": "x"})"};
  for (const auto& entry : fs::directory_iterator(fs::path(KELVANE_SOURCE_DIR) / "assets" / "sessions"))
    if (entry.path().extension() == ".json") descriptions.push_back(Bytes(entry.path().string()));
  for (const std::string& json : descriptions) {
    WriteJsonTable("created.db", json);
    ParadoxTable table;
    table.SetTableName(Path("created.db"));
    table.Open();
    const LoadedDocument fromTable = ReadDocument(table, table.Data().codePage);
    const LoadedDocument imported = DocumentFromJson(json);
    EXPECT_EQ(imported.document, fromTable.document) << json;
    EXPECT_EQ(imported.problems, fromTable.problems) << json;
  }
  EXPECT_THROW(DocumentFromJson(R"({"Colour": 3})"), DocumentError);
  EXPECT_THROW(DocumentFromJson("[1, 2"), DocumentError);
}

TEST_F(EditorDocumentTest, UndoAndRedoRestoreExactlyAndModifiedFollowsTheSavedState) {
  EditorModel model;
  model.SaveAs(Path("session.db"));
  const SessionDocument saved = model.Document();
  DocumentHistory& h = model.History();
  // Three digits typed into one box are one step; a row added is another.
  for (int value : {2, 25, 250}) h.Edit([&](SessionDocument& d) { d.colorR = value; }, "ColorR");
  h.Edit([](SessionDocument& d) { d.rows.push_back(NoteRow{"Echo", {13, 12, 11}}); });
  h.Edit([](SessionDocument& d) { d.rows[0].codes[4] = 0; }, "Item1");
  const SessionDocument edited = model.Document();
  EXPECT_TRUE(model.Modified());

  h.Undo();
  h.Undo();
  EXPECT_EQ(model.Document().colorR, 250);
  EXPECT_EQ(model.Document().rows.size(), 1u);
  h.Undo();
  EXPECT_EQ(model.Document(), saved);
  EXPECT_FALSE(model.Modified());
  EXPECT_FALSE(h.CanUndo());
  h.Redo(), h.Redo(), h.Redo();
  EXPECT_EQ(model.Document(), edited);
  EXPECT_FALSE(h.CanRedo());

  // After a save, undoing makes it modified again, and redoing does not.
  model.Save();
  h.Undo();
  EXPECT_TRUE(model.Modified());
  h.Redo();
  EXPECT_FALSE(model.Modified());
  // A new change after undo drops what could be redone.
  h.Undo();
  h.Edit([](SessionDocument& d) { d.cycles = 7; });
  EXPECT_FALSE(h.CanRedo());
  // A change that changes nothing is no step.
  h.Edit([](SessionDocument& d) { d.cycles = 7; });
  h.Undo();
  EXPECT_EQ(model.Document().cycles, saved.cycles);
}

// Root writes into any directory whatever its mode; for the length of a
// save, the test runs as nobody then.
class Unprivileged {
 public:
  Unprivileged() : root_(::geteuid() == 0) {
    if (root_ && ::seteuid(65534) != 0) ADD_FAILURE() << "cannot become nobody";
  }
  ~Unprivileged() {
    if (root_ && ::seteuid(0) != 0) std::abort();
  }

 private:
  bool root_;
};

TEST_F(EditorDocumentTest, AFailedSaveLeavesTheOldFileAndTheModifiedDocument) {
  EditorModel model;
  model.SaveAs(Path("session.db"));
  const std::string before = Bytes(Path("session.db"));
  model.History().Edit([](SessionDocument& d) { d.colorG = 17; });
  // The file itself may be written, its folder not: only a save that writes
  // in place could succeed, and that is what must not happen.
  fs::permissions(Path("session.db"), fs::perms::all & ~(fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec));
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read | fs::perms::others_exec);
  {
    Unprivileged nobody;
    EXPECT_THROW(model.Save(), DocumentError);
  }
  fs::permissions(dir, fs::perms::owner_all);
  EXPECT_EQ(Bytes(Path("session.db")), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  EXPECT_TRUE(model.Modified());
  EXPECT_EQ(model.Document().colorG, 17);

  // A text the table cannot hold fails before anything is written.
  model.History().Edit([](SessionDocument& d) { d.sessionName = "\xE2\x86\x92"; });  // an arrow
  try {
    model.Save();
    ADD_FAILURE() << "saved a text code page 1252 cannot hold";
  } catch (const DocumentError& error) {
    EXPECT_THAT(error.what(), HasSubstr("Cannot save session.db"));
  }
  EXPECT_EQ(Bytes(Path("session.db")), before);
  EXPECT_THROW(model.SaveAs(Path("missing/session.db")), DocumentError);
  EXPECT_EQ(model.Path(), Path("session.db"));
}

TEST_F(EditorDocumentTest, AFileThatIsNoAmbrelIsRefusedAndTheDocumentStaysAsItWas) {
  EditorModel model;
  model.SaveAs(Path("mine.db"));
  model.History().Edit([](SessionDocument& d) { d.cycles = 12; });
  const SessionDocument before = model.Document();

  WriteJsonTable("text.db", R"({"FileType": "Text"})");
  std::ofstream(Path("notes.db")) << "plain words, not a table";
  std::ofstream(Path("made.json")) << "{\n  \"SessionName\": \"x\"\n}";
  std::ofstream(Path("picture.db")) << "\x89PNG\r\n\x1A\n" << std::string(200, '\0');
  WritePxlibTable(Path("other.db"), {{"Name", paradox_type::kAlpha, 10}}, {{PxCell{std::string("x")}}});
  const std::pair<std::string, std::string> refused[] = {
      {"text.db", "text.db is not a session: its FileType is 'Text'"},
      {"notes.db", "notes.db is not a session: it is not a Paradox table (it starts with \u201Cplain words, not\u2026\u201D)"},
      {"made.json", "(it starts with \u201C{\u23CE  \"SessionName\u2026\u201D; a session description (JSON) is read "
                    "with File > Import JSON)"},
      {"picture.db", "(it starts with the bytes 89 50 4E 47 0D 0A 1A 0A 00 00 00 00 00 00 00 00)"},
      {"other.db", "other.db is not a session: it is a Paradox table without the column Image1"},
      {"absent.db", "Cannot open table"}};
  for (const auto& [name, reason] : refused) {
    try {
      model.Open(Path(name));
      ADD_FAILURE() << name << " opened";
    } catch (const DocumentError& error) {
      EXPECT_THAT(error.what(), HasSubstr(reason));
    }
    EXPECT_EQ(model.Document(), before);
    EXPECT_EQ(model.Path(), Path("mine.db"));
    EXPECT_TRUE(model.Modified());
  }
}

TEST_F(EditorDocumentTest, ANotePairThatIsNoNumberReadsAsZeroAndIsReported) {
  WriteJsonTable("odd.db", R"({"Cycles": 1, "AreaX2": 100, "AreaY2": 100, "NumSelItems": 2, "Item1": "Row 1               0102x40405060708091011120",
                               "Item2": "Short"})");
  const LoadedDocument loaded = OpenAmbrelDocument(Path("odd.db"));
  ASSERT_EQ(loaded.document.rows.size(), 2u);
  // The pairs are 01 02 x4 04 .. 12 and a last one of a single 0.
  EXPECT_EQ(loaded.document.rows[0].codes, (std::array<std::int32_t, 13>{1, 2, 0, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0}));
  EXPECT_EQ(loaded.document.rows[1].label, "Short");
  // One line a row: the pair "x4", and row 2's thirteen empty pairs.
  ASSERT_EQ(loaded.problems.size(), 2u);
  EXPECT_EQ(loaded.problems[0].field, "Item1");
  EXPECT_EQ(loaded.problems[0].message, "Row 1: note 3 ('x4') is no number in the file; the editor reads it as 0");
  EXPECT_THAT(loaded.problems[1].message, HasSubstr("Row 2: notes 1 to 13 are no numbers"));

  // Opened in the model, the problems show until the file is saved as shown.
  EditorModel model;
  model.Open(Path("odd.db"));
  EXPECT_EQ(model.Problems().size(), 2u);
  model.Save();
  EXPECT_TRUE(model.Problems().empty());
  EXPECT_TRUE(OpenAmbrelDocument(Path("odd.db")).problems.empty());
}

TEST_F(EditorDocumentTest, ValuesOutOfRangeAreMarkedAndTheEdgesAreNot) {
  struct Range {
    const char* column;
    int lowest, highest;
    std::int32_t SessionDocument::*member;
  };
  const Range ranges[] = {{"ColorR", 0, 255, &SessionDocument::colorR},
                          {"ColorG", 0, 255, &SessionDocument::colorG},
                          {"ColorB", 0, 255, &SessionDocument::colorB},
                          {"InstrumentNumber", 0, 127, &SessionDocument::instrumentNumber},
                          {"PulseFreq", 0, 2879, &SessionDocument::pulseFreq},
                          {"Density", 1, 16, &SessionDocument::density},
                          {"Cycles", 1, 9999, &SessionDocument::cycles}};
  EXPECT_TRUE(FindProblems(NewSessionDocument()).empty());
  for (const Range& r : ranges) {
    for (int value : {r.lowest, r.highest}) {
      SessionDocument d = NewSessionDocument();
      d.*r.member = value;
      EXPECT_TRUE(FindProblems(d).empty()) << r.column << " " << value;
    }
    for (int value : {r.lowest - 1, r.highest + 1}) {
      SessionDocument d = NewSessionDocument();
      d.*r.member = value;
      const auto problems = FindProblems(d);
      ASSERT_EQ(problems.size(), 1u) << r.column << " " << value;
      EXPECT_EQ(problems[0].field, r.column);
      EXPECT_THAT(problems[0].message, HasSubstr(std::to_string(value)));
      EXPECT_FALSE(problems[0].blocksSaving);
    }
  }
  // What Kelvane plays as it is written is no problem: Form 9 shrinks
  // slowly, Phase 7 moves inwards, an area given right to left is the same area.
  SessionDocument played = NewSessionDocument();
  played.form = 9, played.pulsePhase = 7, played.geoVertical = 500, played.geoHorizontal = -3;
  std::swap(played.areaX1, played.areaX2);
  EXPECT_TRUE(FindProblems(played).empty());

  SessionDocument d = NewSessionDocument();
  d.areaY1 = d.areaY2 = 300;  // an area with no height
  d.rows[0].codes[3] = 14;
  d.rows[0].codes[7] = 99;
  d.rows[0].label = "A label of more than twenty";
  d.comment = std::string(256, 'c');
  d.sessionName = "\xCE\xA9mega \xE2\x9C\x93";  // Omega, a check mark
  std::vector<std::string> fields;
  const std::vector<Problem> problems = FindProblems(d);
  for (const Problem& p : problems) fields.push_back(p.field);
  EXPECT_THAT(fields, ::testing::ElementsAre("SessionName", "Comment", "AreaY2", "Item1:label", "Item1"));
  EXPECT_EQ(problems[0].message,
            "Name has \u201C\u03A9\u201D (U+03A9) and \u201C\u2713\u201D (U+2713), which an Ambrel file cannot hold "
            "(it keeps code page 1252)");
  EXPECT_TRUE(problems[0].blocksSaving && problems[1].blocksSaving && problems[3].blocksSaving);
  EXPECT_EQ(problems[4].message, "Row 1: 14 and 99 (notes 4 and 8) are not note codes (0 to 13)");
  d = NewSessionDocument();
  d.rows.clear();
  EXPECT_EQ(FindProblems(d).at(0).field, "NumSelItems");
  d.rows.assign(31, NewSessionDocument().rows[0]);
  EXPECT_EQ(FindProblems(d).at(0).field, "NumSelItems");
}

// Kelvane maximised on a 1280 x 1024 screen draws on 1280 x 950 pixels, the
// comment panel over the last 172 of them. An area that looks inside the
// screen is cut off on the right and at the bottom, and says so.
TEST_F(EditorDocumentTest, AnAreaKelvanesWindowWouldPartlyHideIsMarkedWithWhatItHides) {
  const DrawingArea window{1280, 950, {0, 2, 1108, 950}};
  SessionDocument d = NewSessionDocument();
  EXPECT_TRUE(FindProblems(d, window).empty());
  d.areaX1 = 900, d.areaY1 = 600, d.areaX2 = 1250, d.areaY2 = 990;
  const std::vector<Problem> problems = FindProblems(d, window);
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_EQ(problems[0].field, "AreaX2");
  EXPECT_EQ(problems[0].message, "The stimulus area's right 142 pixels lie under Kelvane's comment panel, which "
                                 "begins at x 1108 on this screen");
  EXPECT_EQ(problems[1].field, "AreaY2");
  EXPECT_THAT(problems[1].message, HasSubstr("bottom 40 pixels lie below Kelvane's window"));
  // Given the other way round, the edges are still named by their boxes.
  std::swap(d.areaX1, d.areaX2);
  d.areaY1 = 1, d.areaY2 = 100;
  std::vector<std::string> fields;
  for (const Problem& p : FindProblems(d, window)) fields.push_back(p.field);
  EXPECT_THAT(fields, ::testing::ElementsAre("AreaX1", "AreaY1"));
}

TEST(EditorNames, NotesAreNamedByTheKeyTheyPlayAndInstrumentsByGeneralMidi) {
  // The blues scale on C from middle C: code 0 plays like code 1.
  const char* names[] = {"C4", "C4", "D#4", "F4", "F#4", "G4", "A#4", "C5", "D#5", "F5", "F#5", "G5", "A#5", "C6"};
  for (int code = 0; code <= 13; ++code) EXPECT_EQ(NoteName(code), names[code]) << code;
  EXPECT_EQ(NoteName(14), "");
  EXPECT_EQ(NoteColor(0), 0u);
  EXPECT_EQ(NoteColor(-1), 0u);
  EXPECT_EQ(GeneralMidiName(0), "Acoustic Grand Piano");
  EXPECT_EQ(GeneralMidiName(40), "Violin");
  EXPECT_EQ(GeneralMidiName(73), "Flute");
  EXPECT_EQ(GeneralMidiName(127), "Gunshot");
  EXPECT_EQ(GeneralMidiName(128), "");
}

}  // namespace
}  // namespace kelvane
