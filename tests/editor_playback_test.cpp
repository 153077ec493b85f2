// What the editor plays without a window: the MIDI file to listen to (one
// row or the whole session, in the editor's own directory, never the user's
// templates) and the flash check of the session's first seconds, which
// needs nothing saved.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>

#include "editor/document_problems.h"
#include "editor/document_writer.h"
#include "editor/flash_advice.h"
#include "editor/flash_check.h"
#include "editor/flash_verdict.h"
#include "editor/listening_sequence.h"
#include "sound/midi_check.h"
#include "sound/note_keys.h"
#include "tests/fakes/temp_data_home.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

SessionDocument TwoRows() {
  SessionDocument d = NewSessionDocument();
  d.instrumentNumber = 73;
  d.rows.push_back(NoteRow{"Down", {13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 0}});
  return d;
}

// The note-on key of row i (from 1), note j, in a template of the program's layout.
int KeyAt(const SequenceBytes& file, int row, int note) {
  return file.bytes.at(static_cast<std::size_t>(105 * row + 8 * note - 32));
}

TEST(EditorPlayback, TheFileToListenToHoldsTheChosenRowsAndInstrument) {
  testing::TempDataHome home;  // the user's data directory, which must stay untouched
  QTemporaryDir mine;
  const SessionDocument d = TwoRows();

  const SequenceBytes one = ReadSequenceFile(WriteListeningSequence(d, 1, 1, mine.path().toStdString()));
  ASSERT_EQ(one.programs.size(), 1u);
  EXPECT_EQ(one.programs[0].program, 73);
  // Code 0 at the end plays like code 1, middle C.
  for (int j = 0; j < 13; ++j) EXPECT_EQ(KeyAt(one, 1, j), NoteKeyTable[d.rows[1].codes[j]]) << j;
  EXPECT_EQ(KeyAt(one, 1, 12), 60);

  const std::string whole = WriteListeningSequence(d, 0, 30, mine.path().toStdString());
  EXPECT_EQ(fs::path(whole).filename(), "SEQ_2X.MID");
  const SequenceBytes both = ReadSequenceFile(whole);
  for (int i = 1; i <= 2; ++i)
    for (int j = 0; j < 13; ++j) EXPECT_EQ(KeyAt(both, i, j), NoteKeyTable[d.rows[i - 1].codes[j]]) << i << " " << j;

  EXPECT_THROW(WriteListeningSequence(d, 2, 1, mine.path().toStdString()), DocumentError);
  EXPECT_FALSE(fs::exists(home.AudioDirectory().parent_path() / "Ambrels"));
  EXPECT_TRUE(fs::is_empty(home.AudioDirectory()));
}

TEST(EditorPlayback, TheFlashCheckPlaysTheFirstSecondsOrSaysWhyItCannot) {
  testing::TempDataHome home;
  // A small area: the check plays every way of showing it, which takes a while.
  SessionDocument small = TwoRows();
  small.areaX2 = small.areaX1 + 100, small.areaY2 = small.areaY1 + 80;
  const FlashCheckResult result = CheckFlashes(small, 2);
  ASSERT_TRUE(result.checked) << result.error;
  EXPECT_EQ(result.report.frames, 120);
  EXPECT_THAT(FlashVerdictText(result), ::testing::StartsWith(result.report.Passes() ? "PASS" : "FAIL"));

  // A name and a label the file cannot hold are marked, naming the
  // character, and checked all the same: texts change nothing shown.
  SessionDocument named = small;
  named.sessionName = "\xCE\xA9mega \xE2\x9C\x93";  // Omega, a check mark
  named.rows[1].label = "Down \xE2\x9C\x93";
  const std::vector<Problem> problems = FindProblems(named);
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_THAT(problems[0].message, HasSubstr("\u201C\u03A9\u201D (U+03A9)"));
  EXPECT_EQ(problems[1].field, "Item2:label");
  const FlashVerdict despite = VerdictOf(named);
  ASSERT_TRUE(despite.checked) << despite.error;
  EXPECT_EQ(despite, VerdictOf(small));

  SessionDocument text = small;
  text.fileType = "Text";  // which Kelvane refuses to play
  const FlashCheckResult none = CheckFlashes(text, 2);
  EXPECT_FALSE(none.checked);
  EXPECT_THAT(FlashVerdictText(none), HasSubstr("No flash check: the session is not an Ambrel session"));
  EXPECT_TRUE(fs::is_empty(home.AudioDirectory()));
}

// The new session, its area half as wide and high to keep the checks
// quick, fails. Every change the editor offers was measured, and `ambrel
// check` of the same seconds passes it once it is saved; the other Form,
// which flashes more here, is not offered.
TEST(EditorPlayback, EachSuggestedChangePassesAmbrelCheckWhenMade) {
  testing::TempDataHome home;
  SessionDocument d = NewSessionDocument();
  d.areaX1 = 210, d.areaY1 = 152, d.areaX2 = 510, d.areaY2 = 378;
  const FlashVerdict now = VerdictOf(d);
  ASSERT_TRUE(now.checked && !now.passes) << now.text;
  int tried = 0;
  const std::vector<Suggestion> suggestions =
      Advise(d, now, [](const SessionDocument& s) { return VerdictOf(s); }, {}, [&tried](int n) { tried = n; });
  ASSERT_FALSE(suggestions.empty());
  QTemporaryDir dir;
  for (const Suggestion& s : suggestions) {
    EXPECT_TRUE(s.verdict.passes) << s.change;
    EXPECT_LT(s.verdict.share, now.share) << s.change;
    EXPECT_THAT(s.change, ::testing::Not(HasSubstr("Form"))) << s.verdict.text;
    const std::string path = dir.filePath("suggested.db").toStdString();
    SaveAmbrelDocument(s.document, path);
    const std::string command = std::string(AMBREL_EXE) + " check " + path + " --seconds " +
                                std::to_string(static_cast<int>(kEditorFlashSeconds)) + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 0) << s.change << ": ambrel check does not pass it";
  }
  EXPECT_GE(tried, static_cast<int>(suggestions.size()));
}

}  // namespace
}  // namespace kelvane
