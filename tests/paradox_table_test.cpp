// The session table on tables written by pxlib, an implementation independent
// of the reader: every field type, nulls, names, conversions and errors, and
// memos kept in the table's .MB file.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <span>

#include "session/paradox_blob.h"
#include "session/paradox_table.h"
#include "session/pxlib_writer.h"
#include "toolkit/text.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;
namespace pt = paradox_type;
using Bytes = std::vector<std::uint8_t>;
using ::testing::HasSubstr;
using ::testing::StartsWith;

const std::vector<PxColumn> kAllTypes = {
    {"Alpha Text", pt::kAlpha, 20}, {"Small", pt::kShort, 2},  {"Big", pt::kLong, 4},
    {"Amount", pt::kNumber, 8},     {"Price", pt::kCurrency, 8}, {"Flag", pt::kLogical, 1},
    {"Day", pt::kDate, 4},          {"Counter", pt::kAutoInc, 4}};

class ParadoxTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("kelvane-table-" + std::to_string(::getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  // Writes the rows and opens the table on them.
  void OpenWith(const std::vector<PxColumn>& columns, const std::vector<PxRow>& rows) {
    const std::string path = (dir / "t.db").string();
    WritePxlibTable(path, columns, rows);
    table.SetTableName(path);
    table.Open();
  }
  std::string ErrorOf(const std::function<void()>& read) {
    try {
      read();
    } catch (const std::exception& e) {
      return e.what();
    }
    return "no error";
  }
  fs::path dir;
  ParadoxTable table;
};

TEST_F(ParadoxTableTest, EveryFieldTypeReadsAsIntegerAndText) {
  OpenWith(kAllTypes, {{std::string("Hello"), -5, -123456, -1.387, 200.36, 1, 715147, 7}});
  EXPECT_EQ(table.FieldAsString("Alpha Text"), "Hello");
  EXPECT_EQ(table.FieldAsInteger("Small"), -5);
  EXPECT_EQ(table.FieldAsString("Small"), "-5");
  EXPECT_EQ(table.FieldAsInteger("Big"), -123456);
  EXPECT_EQ(table.FieldAsString("Amount"), "-1.387");
  EXPECT_EQ(table.FieldAsInteger("Amount"), -1);
  EXPECT_EQ(table.FieldAsString("Price"), "200.36");
  EXPECT_EQ(table.FieldAsInteger("Price"), 200);
  EXPECT_EQ(table.FieldAsInteger("Flag"), 1);
  EXPECT_EQ(table.FieldAsString("Flag"), "True");
  EXPECT_EQ(table.FieldAsInteger("Day"), 715147);
  EXPECT_EQ(table.FieldAsString("Day"), "1959-01-03");
  EXPECT_EQ(table.FieldAsInteger("Counter"), 7);
}

TEST_F(ParadoxTableTest, NullsOfEveryTypeReadAsZeroAndEmptyText) {
  OpenWith(kAllTypes, {PxRow(kAllTypes.size())});
  for (const PxColumn& c : kAllTypes) {
    EXPECT_EQ(table.FieldAsInteger(c.name), 0) << c.name;
    EXPECT_EQ(table.FieldAsString(c.name), "") << c.name;
  }
}

TEST_F(ParadoxTableTest, ExtremesFalseAndZeroAreNotNulls) {
  OpenWith({{"Max", pt::kLong, 4}, {"Min", pt::kLong, 4}, {"Short", pt::kShort, 2}, {"No", pt::kLogical, 1},
            {"Zero", pt::kNumber, 8}},
           {{2147483647, -2147483647, -32767, 0, 0.0}});
  EXPECT_EQ(table.FieldAsInteger("Max"), 2147483647);
  EXPECT_EQ(table.FieldAsInteger("Min"), -2147483647);
  EXPECT_EQ(table.FieldAsInteger("Short"), -32767);
  EXPECT_EQ(table.FieldAsString("No"), "False");
  EXPECT_EQ(table.FieldAsString("Zero"), "0");
}

TEST_F(ParadoxTableTest, NamesMatchWithoutLetterCaseAndWithSpaces) {
  OpenWith(kAllTypes, {{std::string("x"), 1, 2, 3.0, 4.0, 1, 5, 6}});
  EXPECT_EQ(table.FieldAsString("ALPHA TEXT"), "x");
  EXPECT_EQ(table.FieldAsInteger("big"), 2);
  EXPECT_EQ(ErrorOf([&] { table.FieldAsInteger("AlphaText"); }), "Field 'AlphaText' not found");
}

TEST_F(ParadoxTableTest, ConversionsFollowTheEngine) {
  OpenWith({{"Twelve", pt::kAlpha, 10}, {"Letters", pt::kAlpha, 10}, {"Half", pt::kNumber, 8},
            {"MinusHalf", pt::kNumber, 8}, {"Huge", pt::kNumber, 8}, {"Long", pt::kLong, 4},
            {"Digits", pt::kAlpha, 30}},
           {{std::string(" 12"), std::string("ab"), 2.5, -2.5, 1e10, 42, std::string(20, '1')}});
  EXPECT_EQ(table.FieldAsInteger("Twelve"), 12);
  EXPECT_THROW(table.FieldAsInteger("Letters"), ConversionError);
  EXPECT_EQ(ErrorOf([&] { table.FieldAsInteger("Letters"); }), "'ab' is not a valid integer value");
  EXPECT_EQ(table.FieldAsInteger("Half"), 3);  // halves round away from zero
  EXPECT_EQ(table.FieldAsInteger("MinusHalf"), -3);
  EXPECT_EQ(table.FieldAsString("Huge"), "10000000000");
  EXPECT_EQ(ErrorOf([&] { table.FieldAsInteger("Huge"); }), "'10000000000' is not a valid integer value");
  EXPECT_EQ(table.FieldAsString("Long"), "42");
  // Found by the fuzzer: twenty digits once overflowed inside StrToInt.
  EXPECT_THROW(table.FieldAsInteger("Digits"), ConversionError);
}

TEST_F(ParadoxTableTest, TableWithoutRecordsOpensButHasNoCurrentRecord) {
  OpenWith({{"Cycles", pt::kLong, 4}}, {});
  EXPECT_EQ(ErrorOf([&] { table.FieldAsInteger("Cycles"); }), "No current record");
  EXPECT_EQ(ErrorOf([&] { table.FieldAsString("Comment"); }), "Field 'Comment' not found");
}

TEST_F(ParadoxTableTest, MissingOrUnreadableFilesGiveCannotOpenTable) {
  const std::string missing = (dir / "missing.db").string();
  table.SetTableName(missing);
  EXPECT_EQ(ErrorOf([&] { table.Open(); }), "Cannot open table " + missing + ": No such file or directory");
  table.SetTableName(dir.string());
  EXPECT_EQ(ErrorOf([&] { table.Open(); }), "Cannot open table " + dir.string() + ": not a regular file");
  const fs::path large = dir / "large.db";
  { std::ofstream create(large); }
  fs::resize_file(large, kMaxParadoxFileSize + 1);  // sparse: costs no disk
  table.SetTableName(large.string());
  EXPECT_THAT(ErrorOf([&] { table.Open(); }), HasSubstr("too large"));
}

TEST_F(ParadoxTableTest, ReadsNeedAnOpenTableAndAFailedOpenLeavesItClosed) {
  EXPECT_THAT(ErrorOf([&] { table.FieldAsInteger("Cycles"); }), HasSubstr("is not open"));
  OpenWith({{"Cycles", pt::kLong, 4}}, {{3}});
  EXPECT_EQ(table.FieldAsInteger("Cycles"), 3);
  table.Close();
  EXPECT_THAT(ErrorOf([&] { table.FieldAsInteger("Cycles"); }), HasSubstr("is not open"));
  table.Close();  // harmless when closed
  table.Open();
  EXPECT_EQ(table.FieldAsInteger("Cycles"), 3);
  table.SetTableName((dir / "missing.db").string());
  EXPECT_THAT(ErrorOf([&] { table.Open(); }), StartsWith("Cannot open table"));
  EXPECT_FALSE(table.IsOpen());
}

// Numbered words, so that a text read from a wrong offset or cut short differs.
std::string Words(std::size_t bytes) {
  std::string text;
  for (int n = 0; text.size() < bytes; ++n) text += std::to_string(n) + ' ';
  text.resize(bytes);
  return text;
}

// Memos that pxlib puts in a block they share, in a block of their own and in
// the record alone, beside a graphic that it puts in the .MB file too.
class ParadoxMemoTest : public ParadoxTableTest {
 protected:
  void SetUp() override {
    ParadoxTableTest::SetUp();
    OpenWith({{"Comment", pt::kMemoBlob, 30}, {"Remark", pt::kMemoBlob, 30}, {"Notes", pt::kMemoBlob, 30},
              {"Short", pt::kMemoBlob, 30}, {"Image1", pt::kGraphic, 10}},
             {{Words(100), Words(200), Words(3000), std::string("12"), std::string(50, 'G')}});
    memoPath = (dir / "t.mb").string();
    ASSERT_EQ(PxlibMemoPath((dir / "t.db").string()), memoPath);
    std::ifstream in(memoPath, std::ios::binary);
    memo.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // Where the named memo lies in the .MB file, as its record says.
  std::uint32_t LocationOf(const char* field) {
    const ParadoxTableData t = OpenParadoxFile((dir / "t.db").string());
    const ParadoxField& f = *FindParadoxField(t, field);
    return SplitParadoxBlob(std::span(*t.firstRecord).subspan(f.offset, f.size)).location;
  }
  // The error of reading the field from a fresh open over these .MB bytes.
  std::string ErrorWith(const Bytes& bytes, const char* field) {
    std::ofstream(memoPath, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    table.Open();
    return ErrorOf([&] { table.FieldAsString(field); });
  }
  std::string memoPath;
  Bytes memo;
};

TEST_F(ParadoxMemoTest, MemosReadWholeWithTheMemoFileInAnyLetterCase) {
  fs::rename(memoPath, dir / "T.Mb");
  table.Open();
  EXPECT_EQ(table.FieldAsString("Comment"), Words(100));
  EXPECT_EQ(table.FieldAsString("Remark"), Words(200));
  EXPECT_EQ(table.FieldAsString("Notes"), Words(3000));
  EXPECT_EQ(table.FieldAsString("Short"), "12");
  EXPECT_EQ(table.FieldAsInteger("Short"), 12);
  EXPECT_EQ(table.FieldAsString("Image1"), "");
  EXPECT_EQ(table.FieldAsInteger("Image1"), 0);
}

TEST_F(ParadoxMemoTest, MissingMemoFileFailsOnlyTheMemosThatNeedIt) {
  fs::remove(memoPath);
  table.Open();
  EXPECT_EQ(table.FieldAsString("Short"), "12");
  EXPECT_EQ(table.FieldAsString("Image1"), "");
  EXPECT_EQ(ErrorOf([&] { table.FieldAsString("Comment"); }),
            "Cannot read the memo of field 'Comment': " + memoPath + ": no such file, in any letter case");
  fs::create_directory(memoPath);
  table.Open();
  EXPECT_EQ(ErrorOf([&] { table.FieldAsInteger("Notes"); }),
            "Cannot read the memo of field 'Notes': " + memoPath + ": not a regular file");
}

TEST_F(ParadoxMemoTest, DamagedMemoFilesGiveTheReason) {
  const std::uint32_t shared = LocationOf("Comment");
  const std::size_t sharedBlock = shared & ~0xFFu;
  const std::size_t slot = sharedBlock + 12 + (shared & 0xFF) * 5;
  const std::size_t ownBlock = LocationOf("Notes") & ~0xFFu;
  struct Damage { const char* field; std::function<void(Bytes&)> damage; const char* error; };
  const Damage damages[] = {
      {"Comment", [&](Bytes& b) { b[sharedBlock] = 4; }, "has type 4, which holds no blob data"},
      {"Comment", [&](Bytes& b) { b[slot + 4] = 5; }, "the record gives a blob of 100 bytes"},
      {"Comment", [&](Bytes& b) { b[slot + 1] = 0; }, "is empty"},
      {"Comment", [&](Bytes& b) { b[slot] = 250; }, "points outside the block's data area"},
      {"Comment", [&](Bytes& b) { b.resize(sharedBlock + 40); }, "slot table of the block"},
      {"Notes", [&](Bytes& b) { b[ownBlock + 3] ^= 1; }, "the record gives a blob of 3000 bytes"},
      {"Notes", [&](Bytes& b) { b.resize(ownBlock + 9 + 2999); }, "run past the end of the file"},
      {"Remark", [&](Bytes& b) { b.clear(); }, "lies past the end of the file (0 bytes)"},
  };
  for (const Damage& d : damages) {
    Bytes bytes = memo;
    d.damage(bytes);
    const std::string error = ErrorWith(bytes, d.field);
    EXPECT_THAT(error, StartsWith("Cannot read the memo of field '" + std::string(d.field) + "': " + memoPath + ": "));
    EXPECT_THAT(error, HasSubstr(d.error));
  }
}

}  // namespace
}  // namespace kelvane
