// "&Open Ambrel" driven step by step through the fakes.

#include <gtest/gtest.h>

#include "session/session_loader.h"
#include "sound/midi_templates.h"
#include "state/paths.h"
#include "tests/fakes/fake_main_window.h"
#include "tests/fakes/temp_data_home.h"
#include "toolkit/text.h"

#include <fstream>
#include <iterator>

namespace kelvane {
namespace {

using testing::FakeMainWindow;
using testing::AmbrelRecord;
using testing::FakeTable;

class LoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteMissingTemplates(home.AudioDirectory().string());
    w.table.columns = AmbrelRecord();
    w.dialog.choice = "/home/user/.local/share/Kelvane/Ambrels/blue.db";
  }
  void Open() { OpenAmbrelMenuClick(w.state, w.controls); }
  testing::TempDataHome home;
  FakeMainWindow w;
};

TEST_F(LoaderTest, CancelledDialogLeavesResetValuesAndRepaints) {
  SessionState& s = w.state;
  s.colorR = 9; s.density = 7; s.form = 3; s.pulseFreq = 1; s.geoVertical = 5; s.cycles = 8; s.currentCycle = 2;
  s.playing = true; s.instrumentNumber = 40; s.instrumentName = "Violin"; s.tickIndex = 100;
  s.areaCentre = {5, 5}; s.numSelItems = 4; s.itemCount = 4; s.sequenceFileName = "SEQ_4X.MID";
  s.ColorSequence()[3] = 0x123456;
  w.dialog.choice.clear();

  Open();

  EXPECT_EQ(s.colorR, 0);
  EXPECT_EQ(s.density, 1);
  EXPECT_EQ(s.form, 1);
  EXPECT_EQ(s.pulseFreq, 1000);
  EXPECT_EQ(s.geoVertical, 180);
  EXPECT_EQ(s.cycles, 0);
  EXPECT_EQ(s.currentCycle, 0);
  EXPECT_FALSE(s.playing);
  EXPECT_EQ(s.instrumentNumber, 0);
  EXPECT_EQ(s.instrumentName, "Acoustic Grand Piano");
  EXPECT_EQ(s.tickIndex, 0);
  EXPECT_EQ(s.areaCentre, Point{});
  EXPECT_EQ(s.sequenceFileName, "SEQ_1.MID");
  EXPECT_EQ(s.ColorSequence()[3], s.NotePalette[7]);
  // Kept by the reset.
  EXPECT_EQ(s.itemCount, 4);
  EXPECT_EQ(s.sessionOpen, 0);
  EXPECT_TRUE(w.log.Has("Repaint"));
  EXPECT_FALSE(w.log.Has("Table Open"));
  EXPECT_FALSE(w.log.Has("Timer2 on"));  // nothing plays
}

TEST_F(LoaderTest, DialogStartsInSessionDirectoryWithDbFiles) {
  w.dialog.choice.clear();
  Open();
  EXPECT_EQ(w.dialog.initialDir, HostPath("C:\\Kelvane\\Ambrels"));
  EXPECT_EQ(w.dialog.defaultExt, "db");
  EXPECT_EQ(w.dialog.fileName, "*.db");
  EXPECT_LT(w.log.IndexOf("ClearComment"), w.log.IndexOf("Execute"));
  EXPECT_LT(w.log.IndexOf("Invalidate"), w.log.IndexOf("Execute"));
}

TEST_F(LoaderTest, ConfirmedLoadReadsEveryColumnInOrderAndStartsPlayback) {
  Open();
  const SessionState& s = w.state;
  EXPECT_EQ(s.sessionOpen, 1);
  EXPECT_EQ(s.imageText, "pic");
  EXPECT_EQ(s.instrumentName, "Flute");
  EXPECT_EQ(s.instrumentNumber, 73);
  EXPECT_EQ(s.sessionName, "Blue Calm");
  EXPECT_EQ(s.comment, "Slow and blue");
  EXPECT_EQ(s.pulseFreq, 500);
  EXPECT_EQ(s.pulsePhase, 1);
  EXPECT_EQ(s.geoVertical, 170);
  EXPECT_EQ(s.geoHorizontal, 160);
  EXPECT_EQ(s.density, 3);
  EXPECT_EQ(s.form, 2);
  EXPECT_EQ(s.cycles, 4);
  // Every column lands in its own field: the values differ, none clamps.
  EXPECT_EQ(s.colorR, 10);
  EXPECT_EQ(s.colorG, 20);
  EXPECT_EQ(s.colorB, 30);
  EXPECT_EQ(s.areaX1, 100);
  EXPECT_EQ(s.areaY1, 60);
  EXPECT_EQ(s.areaX2, 700);
  EXPECT_EQ(s.areaY2, 510);
  EXPECT_EQ(s.colorSequenceLength, 13);
  EXPECT_EQ(s.itemRows[1], "01020304050607080910111213");
  EXPECT_EQ(w.shell.panels[0], "blue.db");
  EXPECT_EQ(w.shell.comment, "Slow and blue\n");
  EXPECT_FALSE(w.table.open);

  std::vector<std::string> expected = {"Image1", "InstrumentSel", "InstrumentNumber", "SessionName", "FileType",
                                       "Comment", "ColorR", "ColorG", "ColorB", "PulseFreq", "PulsePhase",
                                       "GeoVertical", "GeoHorizontal", "Density", "Form", "Cycles", "AreaX1",
                                       "AreaY1", "AreaX2", "AreaY2", "NumSelItems"};
  for (int n = 1; n <= 30; ++n) expected.push_back("Item" + std::to_string(n));
  EXPECT_EQ(w.table.reads, expected);

  // The closing steps: repaint, then the area, then playback.
  EXPECT_LT(w.log.IndexOf("Table Close"), w.log.IndexOf("AddCommentLine Slow and blue"));
  EXPECT_LT(w.log.IndexOf("Repaint"), w.log.IndexOf("Open " + HostPath("C:\\Kelvane\\Audio_Information\\SEQ_1X.MID")));
  EXPECT_TRUE(s.playing);
  EXPECT_TRUE(w.timer2.Enabled());
}

TEST_F(LoaderTest, ConfirmedLoadDecodesAndPatchesTheTemplateBeforePlaying) {
  Open();
  EXPECT_TRUE(w.shell.messages.empty());
  std::ifstream file(home.AudioDirectory() / "SEQ_1X.MID", std::ios::binary);
  const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), {});
  ASSERT_GT(bytes.size(), 173u);
  EXPECT_EQ(bytes[55], 73) << "the instrument";
  EXPECT_EQ(bytes[73], 60);
  EXPECT_EQ(bytes[173], 84);
  EXPECT_EQ(w.state.ColorSequence()[0], w.state.NotePalette[1]);
  EXPECT_EQ(w.state.sequenceFileName, "SEQ_1X.MID");
}

TEST_F(LoaderTest, NoRowsShowsFileErrorAndStillPlays) {
  w.table.columns["NumSelItems"] = 0;
  Open();
  EXPECT_EQ(w.shell.messages, std::vector<std::string>{"File Error!"});
  EXPECT_TRUE(w.log.Has("Play"));
  EXPECT_EQ(w.player.FileName(), HostPath("C:\\Kelvane\\Audio_Information\\SEQ_1X.MID"));
}

TEST_F(LoaderTest, BadNotePairEndsTheLoadBeforeTheInstrumentAndPlayback) {
  w.table.columns["Item1"] = std::string("Row 1               0102xx04050607080910111213");
  EXPECT_THROW(Open(), ConversionError);
  EXPECT_FALSE(w.log.Has("Repaint"));
  EXPECT_FALSE(w.log.Has("Play"));
  EXPECT_EQ(w.state.NoteGrid[1][1], 2) << "what was decoded before stays";
}

TEST_F(LoaderTest, ColoursAreLimitedTo255ButNotRaised) {
  w.table.columns["ColorR"] = 300;
  w.table.columns["ColorG"] = 1000;
  w.table.columns["ColorB"] = -1;
  Open();
  EXPECT_EQ(w.state.colorR, 255);
  EXPECT_EQ(w.state.colorG, 255);
  EXPECT_EQ(w.state.colorB, -1);
}

TEST_F(LoaderTest, FileTypeMustBeExactlyAmbr) {
  for (const std::string type : {"ambr", "Ambr ", "AMBR", ""}) {
    FakeMainWindow fresh;
    fresh.table.columns = AmbrelRecord();
    fresh.table.columns["FileType"] = type;
    fresh.dialog.choice = "/data/odd.db";
    OpenAmbrelMenuClick(fresh.state, fresh.controls);
    EXPECT_EQ(fresh.shell.messages, std::vector<std::string>{"File Not an Ambrel!"}) << type;
    EXPECT_EQ(fresh.shell.comment, "Slow and blue\n") << "the comment is still shown";
    EXPECT_EQ(fresh.shell.panels[0], "odd.db");
    EXPECT_EQ(fresh.state.sessionOpen, 1) << "a refused file still leaves the session open";
    EXPECT_FALSE(fresh.log.Has("Repaint"));
    EXPECT_FALSE(fresh.log.Has("Play")) << "no playback";
    EXPECT_EQ(fresh.state.cycles, 4) << "the record's values stay";
  }
}

TEST_F(LoaderTest, NoteRowCountSetsItemCountAndSequenceLength) {
  for (const int rows : {0, 3, 31}) {
    FakeMainWindow fresh;
    fresh.table.columns = AmbrelRecord();
    fresh.table.columns["NumSelItems"] = rows;
    for (int n = 1; n <= 30; ++n)
      fresh.table.columns["Item" + std::to_string(n)] = std::string("Row                 01020304050607080910111213");
    fresh.dialog.choice = "/data/rows.db";
    OpenAmbrelMenuClick(fresh.state, fresh.controls);
    EXPECT_EQ(fresh.state.numSelItems, rows);
    EXPECT_EQ(fresh.state.itemCount, rows);
    EXPECT_EQ(fresh.state.colorSequenceLength, 13 * rows);
    EXPECT_EQ(fresh.table.reads.back(), "Item30") << "all item columns are read whatever the count";
  }
}

TEST_F(LoaderTest, HugeNoteRowCountDoesNotOverflowTheSequenceLength) {
  w.table.columns["NumSelItems"] = 2000000000;
  w.table.columns["Cycles"] = 0;
  try {
    Open();
  } catch (const std::exception&) {
    // Decoding may refuse the item texts; the counts are read before that.
  }
  EXPECT_EQ(w.state.colorSequenceLength, 26000000000LL);
}

TEST_F(LoaderTest, ItemTextsAreCutFromTheir21stCharacter) {
  const std::string twenty(20, 'x');
  w.table.columns["Item2"] = twenty;
  w.table.columns["Item3"] = twenty + "0102030405";
  w.table.columns["Item4"] = twenty + "01020304050607080910111213";
  w.table.columns["Item5"] = twenty + "01020304050607080910111213" + std::string(14, 'y');
  Open();
  EXPECT_EQ(w.state.itemRows[2], "");
  EXPECT_EQ(w.state.itemRows[3], "0102030405");
  EXPECT_EQ(w.state.itemRows[4], "01020304050607080910111213");
  EXPECT_EQ(w.state.itemRows[5], "01020304050607080910111213");
  EXPECT_EQ(w.state.items[5].size(), 60u);
}

TEST_F(LoaderTest, MissingColumnEndsTheLoadWithTheEngineMessage) {
  w.table.columns.erase("Cycles");
  try {
    Open();
    FAIL() << "expected the engine's error";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Field 'Cycles' not found");
  }
  EXPECT_EQ(w.state.sessionOpen, 1);
  EXPECT_EQ(w.state.form, 2) << "columns read before the failure keep their new values";
  EXPECT_EQ(w.state.areaX1, 0) << "the others keep their reset values";
  EXPECT_FALSE(w.log.Has("Repaint"));
  EXPECT_TRUE(w.table.open) << "the table stays active until the next Open";
  w.dialog.choice.clear();
  Open();
  EXPECT_FALSE(w.table.open);
}

TEST_F(LoaderTest, UnopenableTableEndsTheLoad) {
  w.table.failOpen = true;
  EXPECT_THROW(Open(), std::runtime_error);
  EXPECT_EQ(w.state.sessionOpen, 1);
  EXPECT_EQ(w.shell.panels[0], "");
}

TEST_F(LoaderTest, CancelAfterAnEarlierLoadPlaysAgainWithResetValues) {
  Open();
  w.log.Clear();
  w.dialog.choice.clear();
  Open();
  EXPECT_EQ(w.state.cycles, 0);
  EXPECT_EQ(w.state.areaCentre, Point{});
  EXPECT_EQ(w.state.itemCount, 1) << "the earlier load's count";
  EXPECT_TRUE(w.log.Has("Play"));
  EXPECT_EQ(w.shell.panels[2], "Total Cycles:  0");
}

TEST_F(LoaderTest, ResetDoesNotStopAPlayingSession) {
  Open();
  w.log.Clear();
  w.dialog.onExecute = [this] {
    EXPECT_TRUE(w.timer2.Enabled());
    EXPECT_EQ(w.state.cycles, 0) << "timers see the reset values while the dialog is open";
  };
  w.dialog.choice.clear();
  w.state.sessionOpen = 0;
  Open();
  EXPECT_FALSE(w.log.Has("Stop"));
  EXPECT_EQ(w.shell.panels[0], "blue.db") << "the status bar is not touched by the reset";
}

TEST(StrToIntTest, AcceptsSignedDecimalAndRejectsTheRest) {
  EXPECT_EQ(StrToInt("07"), 7);
  EXPECT_EQ(StrToInt("7"), 7);
  EXPECT_EQ(StrToInt("-1"), -1);
  EXPECT_EQ(StrToInt("+12"), 12);
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
  for (const char* bad : {"", "ab", "1a", "-", "2147483648", "7 ", "99999999999999999999"}) {
    try {
      StrToInt(bad);
      ADD_FAILURE() << bad;
    } catch (const ConversionError& e) {
      EXPECT_EQ(std::string(e.what()), "'" + std::string(bad) + "' is not a valid integer value");
    }
  }
}

TEST(ExtractFileNameTest, TakesTheTextAfterTheLastSeparator) {
  EXPECT_EQ(ExtractFileName("/home/a/Ambrels/blue.db"), "blue.db");
  EXPECT_EQ(ExtractFileName("C:\\Kelvane\\Ambrels\\x.DB"), "x.DB");
  EXPECT_EQ(ExtractFileName("D:x.db"), "x.db");
  EXPECT_EQ(ExtractFileName("plain.db"), "plain.db");
}

}  // namespace
}  // namespace kelvane
