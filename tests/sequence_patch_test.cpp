#include "sound/sequence_patch.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <vector>

#include "tests/fakes/fake_shell.h"
#include "tests/fakes/temp_data_home.h"

namespace kelvane {
namespace {

using testing::FakeShell;
using testing::Recorder;
using testing::TempDataHome;
using Bytes = std::vector<unsigned char>;

// A byte no key or program ever takes, so every write shows.
constexpr unsigned char kFiller = 0xEE;
// The blues scale of codes 1..13, as the melody must sound.
constexpr int kKeys[] = {60, 63, 65, 66, 67, 70, 72, 75, 77, 78, 79, 82, 84};

class PatchTest : public ::testing::Test {
 protected:
  std::filesystem::path PathOf(const std::string& name) { return home.AudioDirectory() / name; }
  void WriteFile(const std::string& name, std::size_t size) {
    std::ofstream out(PathOf(name), std::ios::binary);
    out << std::string(size, static_cast<char>(kFiller));
  }
  Bytes ReadFile(const std::string& name) {
    std::ifstream in(PathOf(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  // Offset to new value for every byte that is no longer the filler.
  std::map<std::size_t, int> Changes(const Bytes& bytes) {
    std::map<std::size_t, int> out;
    for (std::size_t k = 0; k < bytes.size(); ++k)
      if (bytes[k] != kFiller) out[k] = bytes[k];
    return out;
  }
  void SetRows(int count, const std::string& file) {
    s.numSelItems = s.itemCount = count;
    s.sequenceFileName = file;
  }
  void Patch() {
    PatchSequenceNotes(s, shell);
    PatchSequenceInstrument(s, shell);
  }

  TempDataHome home;
  SessionState s;
  Recorder log;
  FakeShell shell{log};
};

TEST_F(PatchTest, OneRowWritesEachKeyTwiceAndTheProgramAndNothingElse) {
  WriteFile("SEQ_1X.MID", 180);
  SetRows(1, "SEQ_1X.MID");
  for (int j = 0; j < 13; ++j) s.NoteGrid[1][j] = j + 1;
  s.instrumentNumber = 42;

  Patch();

  std::map<std::size_t, int> expected = {{55, 42}};
  for (int j = 0; j < 13; ++j) expected[73 + 8 * j] = expected[77 + 8 * j] = kKeys[j];
  EXPECT_EQ(Changes(ReadFile("SEQ_1X.MID")), expected);
  EXPECT_EQ(ReadFile("SEQ_1X.MID").size(), 180u);
  EXPECT_TRUE(shell.messages.empty());
}

TEST_F(PatchTest, SecondRowLiesOneHundredAndFiveBytesOnAndCodeZeroPlaysMiddleC) {
  WriteFile("SEQ_2X.MID", 285);
  SetRows(2, "SEQ_2X.MID");
  for (int j = 0; j < 13; ++j) {
    s.NoteGrid[1][j] = 0;
    s.NoteGrid[2][j] = 13 - j;
  }

  Patch();

  const auto changes = Changes(ReadFile("SEQ_2X.MID"));
  EXPECT_EQ(changes.size(), 2u * 26 + 1);
  EXPECT_EQ(changes.at(73), 60);
  EXPECT_EQ(changes.at(173), 60);
  EXPECT_EQ(changes.at(178), 84);
  EXPECT_EQ(changes.at(182), 84);
  EXPECT_EQ(changes.at(274), 60);
  EXPECT_EQ(changes.at(278), 60);
  EXPECT_EQ(changes.at(55), 0);
}

TEST_F(PatchTest, ThirtyRowsReachOffset3218AndRowsBeyondThirtyAreNeverWritten) {
  for (int count : {30, 31}) {
    WriteFile("SEQ_30X.MID", 3225);
    SetRows(count, "SEQ_30X.MID");
    for (int i = 1; i <= 30; ++i)
      for (int j = 0; j < 13; ++j) s.NoteGrid[i][j] = 7;

    Patch();

    const auto bytes = ReadFile("SEQ_30X.MID");
    EXPECT_EQ(bytes.size(), 3225u);  // row 31 would have lengthened it
    const auto changes = Changes(bytes);
    EXPECT_EQ(changes.size(), 780u + 1);
    EXPECT_EQ(changes.rbegin()->first, 3218u);
    EXPECT_EQ(changes.rbegin()->second, 72);
  }
}

TEST_F(PatchTest, UnknownCodesRepeatThePreviousKeyAcrossRows) {
  WriteFile("SEQ_2X.MID", 285);
  SetRows(2, "SEQ_2X.MID");
  const std::int32_t row1[] = {-1, 3, 14, 99, 5, 6, 7, 8, 9, 10, 11, 12, 6};
  const std::int32_t row2[] = {100, INT32_MIN, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, INT32_MAX};
  for (int j = 0; j < 13; ++j) {
    s.NoteGrid[1][j] = row1[j];
    s.NoteGrid[2][j] = row2[j];
  }

  Patch();

  const auto bytes = ReadFile("SEQ_2X.MID");
  EXPECT_EQ(bytes[73], 60);  // nothing before the first note: middle C
  EXPECT_EQ(bytes[77], 60);
  EXPECT_EQ(bytes[81], 65);
  EXPECT_EQ(bytes[89], 65);
  EXPECT_EQ(bytes[97], 65);
  EXPECT_EQ(bytes[101], 65);
  EXPECT_EQ(bytes[169], 70);
  EXPECT_EQ(bytes[178], 70);  // row 2 carries on from row 1's last key
  EXPECT_EQ(bytes[186], 70);
  EXPECT_EQ(bytes[194], 63);
  EXPECT_EQ(bytes[274], 63);
  EXPECT_EQ(bytes[278], 63);
}

TEST_F(PatchTest, MissingTemplateIsReportedByBothStepsAndNotCreated) {
  SetRows(1, "SEQ_1X.MID");
  s.NoteGrid[1].fill(1);
  Patch();
  EXPECT_EQ(shell.messages, (std::vector<std::string>{"Can't Open File!", "Can't Open File!"}));
  EXPECT_FALSE(std::filesystem::exists(PathOf("SEQ_1X.MID")));
}

TEST_F(PatchTest, NoItemsOnlyOpensSeq1AndReportsAFileError) {
  WriteFile("SEQ_1.MID", 180);
  SetRows(0, "SEQ_1.MID");
  s.instrumentNumber = 9;
  Patch();
  EXPECT_EQ(shell.messages, std::vector<std::string>{"File Error!"});
  EXPECT_TRUE(Changes(ReadFile("SEQ_1.MID")).empty());

  std::filesystem::remove(PathOf("SEQ_1.MID"));
  shell.messages.clear();
  Patch();
  EXPECT_EQ(shell.messages, (std::vector<std::string>{"Can't Open File!", "File Error!"}));
}

// Only a count of exactly 0 is a file error; a negative count writes no note
// but still the program byte, into the file the loader named.
TEST_F(PatchTest, ANegativeRowCountWritesOnlyTheProgram) {
  WriteFile("SEQ_1.MID", 180);
  SetRows(-1, "SEQ_1.MID");
  s.instrumentNumber = 9;
  Patch();
  EXPECT_TRUE(shell.messages.empty());
  EXPECT_EQ(Changes(ReadFile("SEQ_1.MID")), (std::map<std::size_t, int>{{55, 9}}));
}

TEST_F(PatchTest, ProgramsOutsideTheMidiRangeWriteZero) {
  WriteFile("SEQ_1X.MID", 180);
  SetRows(1, "SEQ_1X.MID");
  const std::map<std::int32_t, int> cases = {{0, 0}, {127, 127}, {128, 0}, {200, 0}, {-1, 0}, {INT32_MAX, 0}};
  for (const auto& [number, byte] : cases) {
    s.instrumentNumber = number;
    PatchSequenceInstrument(s, shell);
    EXPECT_EQ(ReadFile("SEQ_1X.MID")[55], byte) << number;
  }
}

TEST_F(PatchTest, ShortTemplateIsLengthenedAndOtherLetterCaseIsFound) {
  WriteFile("seq_1x.mid", 10);
  SetRows(1, "SEQ_1X.MID");
  s.NoteGrid[1].fill(13);
  Patch();
  EXPECT_TRUE(shell.messages.empty());
  const auto bytes = ReadFile("seq_1x.mid");
  ASSERT_EQ(bytes.size(), 174u);
  EXPECT_EQ(bytes[173], 84);
  EXPECT_FALSE(std::filesystem::exists(PathOf("SEQ_1X.MID")));
}

}  // namespace
}  // namespace kelvane
