#include "sound/note_rows.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "sound/midi_templates.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/temp_data_home.h"
#include "toolkit/text.h"

namespace kelvane {
namespace {

using testing::FakeShell;
using testing::Recorder;
using testing::TempDataHome;

constexpr Color kUntouched = 0xABCDEF;
constexpr std::int32_t kOldCode = 555;

class DecodeNoteRowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Palette entry c is 0x100 + c so every colour names its code; entry 0 stays black.
    for (int c = 1; c < kPaletteEntries; ++c) s.NotePalette[c] = 0x100 + c;
    for (auto& c : s.ColorSequence()) c = kUntouched;
    for (auto& row : s.NoteGrid) row.fill(kOldCode);
    s.noteCode = kOldCode;
    s.sequenceFileName = "SEQ_1.MID";
  }
  void SetItems(int count) {
    s.numSelItems = s.itemCount = count;
  }
  std::vector<unsigned char> ReadTemplate(const std::string& name) {
    std::ifstream in(home.AudioDirectory() / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  TempDataHome home;
  SessionState s;
  Recorder log;
  FakeShell shell{log};
};

TEST_F(DecodeNoteRowsTest, RisingAndFallingRowsFillGridColoursAndPatchTheFile) {
  WriteMissingTemplates(home.AudioDirectory().string());
  SetItems(2);
  s.itemRows[1] = "01020304050607080910111213";
  s.itemRows[2] = "13121110090807060504030201";

  DecodeNoteRows(s, shell);

  for (int j = 0; j < 13; ++j) {
    EXPECT_EQ(s.NoteGrid[1][j], j + 1);
    EXPECT_EQ(s.NoteGrid[2][j], 13 - j);
    EXPECT_EQ(s.ColorSequence()[j], Color(0x101 + j));
    EXPECT_EQ(s.ColorSequence()[13 + j], Color(0x10D - j));
  }
  EXPECT_EQ(s.NoteGrid[1][13], kOldCode);  // cells 13 and 14 are never written
  EXPECT_EQ(s.NoteGrid[3][0], kOldCode);
  for (int k = 26; k < kSequenceEntries; ++k) EXPECT_EQ(s.ColorSequence()[k], kUntouched) << k;
  EXPECT_EQ(s.ColorRing()[389], Color(0x101));  // the first colour shares the ring's last slot
  EXPECT_EQ(s.noteCode, 1);
  EXPECT_EQ(s.sequenceFileName, "SEQ_2X.MID");
  EXPECT_TRUE(shell.messages.empty());
  // Row 2's first note (code 13, key 84) reached the file.
  const auto bytes = ReadTemplate("SEQ_2X.MID");
  ASSERT_GT(bytes.size(), 182u);
  EXPECT_EQ(bytes[178], 84);
  EXPECT_EQ(bytes[182], 84);
}

TEST_F(DecodeNoteRowsTest, NoItemsOrNegativeCountDecodesNothingButStillPatches) {
  for (int count : {0, -1, INT32_MIN}) {
    SetItems(count);
    s.itemRows[1] = "01020304050607080910111213";
    shell.messages.clear();

    DecodeNoteRows(s, shell);

    EXPECT_EQ(s.NoteGrid[1][0], kOldCode);
    EXPECT_EQ(s.ColorSequence()[0], kUntouched);
    EXPECT_EQ(s.noteCode, kOldCode);
    EXPECT_EQ(s.sequenceFileName, "SEQ_1.MID");
    // The patch step still runs: it tries SEQ_1.MID, which is missing here.
    EXPECT_EQ(shell.messages, std::vector<std::string>{"Can't Open File!"});
  }
}

TEST_F(DecodeNoteRowsTest, ThirtyItemsFillEverySequenceEntryAndMoreAreCappedAtThirty) {
  for (int count : {30, 31, 1000}) {
    SetUp();
    SetItems(count);
    for (int n = 1; n <= kMaxItems; ++n) s.itemRows[n] = "13131313131313131313131313";
    s.itemRows[30] = "01010101010101010101010109";

    DecodeNoteRows(s, shell);

    for (int k = 0; k < 377; ++k) ASSERT_EQ(s.ColorSequence()[k], Color(0x10D)) << k;
    EXPECT_EQ(s.ColorSequence()[388], Color(0x101));
    EXPECT_EQ(s.ColorSequence()[389], Color(0x109));
    EXPECT_EQ(s.NoteGrid[30][12], 9);
    EXPECT_EQ(s.noteCode, 9);
    EXPECT_EQ(s.sequenceFileName, "SEQ_30X.MID");
    EXPECT_EQ(s.numSelItems, count);  // kept as read
  }
}

TEST_F(DecodeNoteRowsTest, TwentyFiveCharactersEndWithAOneDigitPair) {
  SetItems(1);
  s.itemRows[1] = "0102030405060708091011127";
  DecodeNoteRows(s, shell);
  EXPECT_EQ(s.NoteGrid[1][12], 7);
  EXPECT_EQ(s.ColorSequence()[12], Color(0x107));
}

TEST_F(DecodeNoteRowsTest, LettersEndTheLoadKeepingWhatWasDecoded) {
  SetItems(3);
  s.itemRows[1] = "01020304050607080910111213";
  s.itemRows[2] = "0203ab";
  s.itemRows[3] = "01020304050607080910111213";

  try {
    DecodeNoteRows(s, shell);
    FAIL() << "no conversion error";
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'ab' is not a valid integer value");
  }

  EXPECT_EQ(s.NoteGrid[2][0], 2);
  EXPECT_EQ(s.NoteGrid[2][1], 3);
  EXPECT_EQ(s.NoteGrid[2][2], kOldCode);
  EXPECT_EQ(s.ColorSequence()[14], Color(0x103));
  EXPECT_EQ(s.ColorSequence()[15], kUntouched);
  EXPECT_EQ(s.noteCode, 3);
  EXPECT_EQ(s.sequenceFileName, "SEQ_2X.MID");
  EXPECT_TRUE(shell.messages.empty());  // the patch step never ran
}

TEST_F(DecodeNoteRowsTest, AShortRowFailsAtItsFirstEmptyPair) {
  SetItems(2);
  s.itemRows[1] = "01020304050607080910111213";
  s.itemRows[2] = "";  // an item field of 20 characters or fewer

  EXPECT_THROW(DecodeNoteRows(s, shell), ConversionError);

  EXPECT_EQ(s.NoteGrid[2][0], kOldCode);
  EXPECT_EQ(s.ColorSequence()[13], kUntouched);
  EXPECT_EQ(s.noteCode, 13);
  EXPECT_EQ(s.sequenceFileName, "SEQ_1X.MID");  // item 2's name was never set
}

TEST_F(DecodeNoteRowsTest, CodesOutsideThePaletteAreStoredAndShowBlack) {
  SetItems(1);
  s.itemRows[1] = "0014999913-1-901+5 7000203";

  DecodeNoteRows(s, shell);

  const std::int32_t expected[] = {0, 14, 99, 99, 13, -1, -9, 1, 5, 7, 0, 2, 3};
  const Color colours[] = {0, 0, 0, 0, 0x10D, 0, 0, 0x101, 0x105, 0x107, 0, 0x102, 0x103};
  for (int j = 0; j < 13; ++j) {
    EXPECT_EQ(s.NoteGrid[1][j], expected[j]) << j;
    EXPECT_EQ(s.ColorSequence()[j], colours[j]) << j;
  }
}

}  // namespace
}  // namespace kelvane
