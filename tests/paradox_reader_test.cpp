// The bounded Paradox reader: real tables made by Paradox/BDE, and damaged
// variants of a table written by pxlib, which must all give a clear error.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "session/paradox_reader.h"
#include "session/paradox_table.h"
#include "session/paradox_value.h"
#include "session/pxlib_writer.h"
#include "toolkit/text.h"

extern "C" {
#include <paradox.h>
}

namespace kelvane {
namespace {

namespace fs = std::filesystem;
namespace pt = paradox_type;
using Bytes = std::vector<std::uint8_t>;
using ::testing::HasSubstr;

std::string Fixture(const char* name) { return std::string(KELVANE_FIXTURES) + "/paradox/" + name; }

// Real tables made by other programs live beside a clone, not in it; a clone
// on its own skips these.
class ParadoxFixtures : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path dir = fs::path(KELVANE_FIXTURES) / "paradox";
    if (!fs::is_directory(dir)) GTEST_SKIP() << "the shared Paradox fixtures are expected in " << dir.string();
  }
};

Bytes Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Record n (from 0) of a one-block table, for the fixtures' later records.
ParadoxValue RecordValue(const Bytes& file, const ParadoxTableData& t, std::size_t n, std::size_t field) {
  const std::size_t headerSize = file[2] | file[3] << 8;
  const auto record = std::span(file).subspan(headerSize + 6 + n * t.recordSize, t.recordSize);
  return DecodeParadoxValue(t.fields[field], record);
}

TEST_F(ParadoxFixtures, HeadersGiveVersionCodePageAndFields) {
  struct Expect { const char* file; int version; int codePage; std::int32_t records; std::size_t fields; };
  for (const Expect& e : {Expect{"joina.db", 9, 1252, 3, 1}, Expect{"long.db", 11, 850, 3, 2},
                          Expect{"DECIMAL.DB", 12, 1252, 9, 1}, Expect{"destination.db", 11, 850, 1, 2},
                          Expect{"tblsttes.DB", 12, 437, 58, 13}}) {
    SCOPED_TRACE(e.file);
    const ParadoxTableData t = OpenParadoxFile(Fixture(e.file));
    EXPECT_EQ(t.version, e.version);
    EXPECT_EQ(t.codePage, e.codePage);
    EXPECT_EQ(t.recordCount, e.records);
    EXPECT_EQ(t.fields.size(), e.fields);
    EXPECT_TRUE(t.firstRecord.has_value());
  }
}

TEST_F(ParadoxFixtures, ShortAutoIncAlphaAndLongFirstRecords) {
  ParadoxTable table;
  table.SetTableName(Fixture("joina.db"));
  table.Open();
  EXPECT_EQ(table.FieldAsInteger("ID"), 1);
  table.SetTableName(Fixture("destination.db"));
  table.Open();
  EXPECT_EQ(table.FieldAsInteger("id"), 1);
  EXPECT_EQ(table.FieldAsString("Name"), "Test");
  table.SetTableName(Fixture("long.db"));
  table.Open();
  EXPECT_EQ(table.FieldAsInteger("Id"), 1);
  EXPECT_EQ(table.FieldAsString("LONG"), "1");
}

TEST_F(ParadoxFixtures, NullLongReadsAsNullNotAsLowestInteger) {
  const Bytes file = Load(Fixture("long.db"));
  const ParadoxTableData t = ParseParadox(file);
  EXPECT_EQ(ParadoxValueAsInteger(RecordValue(file, t, 1, 1)), 2);
  const ParadoxValue third = RecordValue(file, t, 2, 1);
  EXPECT_TRUE(std::holds_alternative<std::monostate>(third));
  EXPECT_EQ(ParadoxValueAsInteger(third), 0);
  EXPECT_EQ(ParadoxValueAsText(third), "");
}

TEST_F(ParadoxFixtures, NumbersReadAsDecimalTextAndRoundedIntegers) {
  const Bytes file = Load(Fixture("DECIMAL.DB"));
  const ParadoxTableData t = ParseParadox(file);
  const char* texts[] = {"-200", "-20", "-1", "1", "20", "200", "200.36", "1.37", "-1.387"};
  const std::int32_t integers[] = {-200, -20, -1, 1, 20, 200, 200, 1, -1};
  for (std::size_t n = 0; n < 9; ++n) {
    EXPECT_EQ(ParadoxValueAsText(RecordValue(file, t, n, 0)), texts[n]);
    EXPECT_EQ(ParadoxValueAsInteger(RecordValue(file, t, n, 0)), integers[n]);
  }
}

TEST_F(ParadoxFixtures, StatesTableWithSpacedNamesNullsAndDate) {
  ParadoxTable table;
  table.SetTableName(Fixture("tblsttes.DB"));
  table.Open();
  EXPECT_EQ(table.FieldAsString("State"), "AK");
  EXPECT_EQ(table.FieldAsString("Time Zone"), "");
  EXPECT_EQ(table.FieldAsString("Full State Name"), "Alaska");
  EXPECT_EQ(table.FieldAsString("Capital"), "Juneau");
  EXPECT_EQ(table.FieldAsInteger("Year Settled"), 1784);  // an alpha holding digits
  EXPECT_EQ(table.FieldAsInteger("Date Admitted"), 715147);
  EXPECT_EQ(table.FieldAsString("Date Admitted"), "1959-01-03");
  EXPECT_EQ(table.FieldAsInteger("Admitted Order"), 49);
  EXPECT_EQ(table.FieldAsInteger("Long"), 0);
  const std::int32_t longs[] = {3810, 570374, 86050, 656424};
  const char* names[] = {"Wide", "Area SQ MI Land", "Area SQ MI Water", "area sq mi LAND + water"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(table.FieldAsInteger(names[i]), longs[i]) << names[i];
  EXPECT_EQ(table.FieldAsInteger("Rank in Area"), 1);
}

// pxlib's reading of the first record, for the fixtures only: it is not safe
// on damaged files. Each value as the reader's text conversion would give it.
std::vector<std::string> PxlibFirstRecord(const std::string& path) {
  std::vector<std::string> texts;
  pxdoc_t* px = PX_new();
  EXPECT_EQ(PX_open_file(px, path.c_str()), 0);
  pxval_t** values = PX_retrieve_record(px, 0);
  for (int i = 0; values && i < PX_get_num_fields(px); ++i) {
    const pxval_t& v = *values[i];
    const char type = PX_get_field(px, i)->px_ftype;
    // pxlib gives a null long as -2147483648 without setting isnull.
    if (v.isnull || ((type == pxfLong || type == pxfAutoInc) && v.value.lval == -2147483648L)) texts.emplace_back();
    else if (type == pxfAlpha) texts.emplace_back(v.value.str.val);
    else if (type == pxfNumber || type == pxfCurrency) texts.push_back(ParadoxValueAsText(v.value.dval));
    else texts.push_back(std::to_string(v.value.lval));
    if (type == pxfAlpha && !v.isnull) px->free(px, v.value.str.val);
    px->free(px, values[i]);
  }
  px->free(px, values);
  PX_close(px);
  PX_delete(px);
  return texts;
}

TEST_F(ParadoxFixtures, FirstRecordsAgreeWithPxlib) {
  for (const char* name : {"joina.db", "long.db", "DECIMAL.DB", "destination.db", "tblsttes.DB"}) {
    SCOPED_TRACE(name);
    const ParadoxTableData t = OpenParadoxFile(Fixture(name));
    const std::vector<std::string> expected = PxlibFirstRecord(Fixture(name));
    ASSERT_EQ(expected.size(), t.fields.size());
    for (std::size_t i = 0; i < t.fields.size(); ++i) {
      const ParadoxValue value = DecodeParadoxValue(t.fields[i], *t.firstRecord);
      const bool date = std::holds_alternative<ParadoxDate>(value);
      EXPECT_EQ(date ? IntToStr(ParadoxValueAsInteger(value)) : ParadoxValueAsText(value), expected[i])
          << t.fields[i].name;
    }
  }
}

TEST(ParadoxDates, DayNumbersBecomeCivilDates) {
  EXPECT_EQ(ParadoxDateText(1), "0001-01-01");
  EXPECT_EQ(ParadoxDateText(59), "0001-02-28");
  EXPECT_EQ(ParadoxDateText(730179), "2000-02-29");
  EXPECT_EQ(ParadoxDateText(730180), "2000-03-01");
}

// A two-record table of alpha and long written by pxlib, to damage.
class DamagedTable : public ::testing::Test {
 protected:
  void SetUp() override {
    path = (fs::temp_directory_path() / ("kelvane-damaged-" + std::to_string(::getpid()) + ".db")).string();
    WritePxlibTable(path, {{"Name", pt::kAlpha, 10}, {"Cycles", pt::kLong, 4}},
                    {{std::string("first"), 3}, {std::string("second"), 4}});
    good = Load(path);
    fs::remove(path);
  }
  static void Put16(Bytes& b, std::size_t at, unsigned v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
  }
  static std::string ErrorOf(const Bytes& b) {
    try {
      ParseParadox(b);
    } catch (const ParadoxError& e) {
      return e.what();
    }
    return "no error";
  }
  std::size_t Block1() const { return good[2] | good[3] << 8; }
  std::string path;
  Bytes good;
};

TEST_F(DamagedTable, UndamagedCopyReads) {
  const ParadoxTableData t = ParseParadox(good);
  EXPECT_EQ(ParadoxValueAsText(ReadParadoxValue(t, "name")), "first");
  EXPECT_EQ(ParadoxValueAsInteger(ReadParadoxValue(t, "CYCLES")), 3);
}

TEST_F(DamagedTable, TruncatedFilesAreRefused) {
  EXPECT_THAT(ErrorOf({}), HasSubstr("too short"));
  EXPECT_THAT(ErrorOf(Bytes(good.begin(), good.begin() + 0x40)), HasSubstr("too short"));
  EXPECT_THAT(ErrorOf(Bytes(good.begin(), good.begin() + 0x200)), HasSubstr("bad header size"));
  Bytes text(100, 'x');
  EXPECT_THAT(ErrorOf(text), HasSubstr("not a Paradox table"));
}

TEST_F(DamagedTable, HeaderValuesOutOfRangeAreRefused) {
  struct Damage { std::size_t at; unsigned value; const char* error; };
  for (const Damage& d : {Damage{0x00, 15, "field sizes add up to 14 bytes, the record size is 15"},
                          Damage{0x00, 0, "record size 0"}, Damage{0x21, 0, "no fields"},
                          Damage{0x21, 0xFFFF, "too many fields"}, Damage{0x04, 0x0201, "file type 1"},
                          Damage{0x04, 0x0002, "bad block size"}, Damage{0x38, 0x0D00, "version byte 13"},
                          Damage{0x78, 0x0407, "field 1 has an unknown type"}, Damage{0x08, 0x8000, "negative"},
                          Damage{0x0E, 9, "data block 9 lies outside"}, Damage{0x02, 0x0100, "field names run past"}}) {
    Bytes b = good;
    Put16(b, d.at, d.value);
    EXPECT_THAT(ErrorOf(b), HasSubstr(d.error)) << "at 0x" << std::hex << d.at;
  }
}

TEST_F(DamagedTable, BlockLinksInACycleOrPastTheFileAreRefused) {
  Bytes self = good;
  Put16(self, Block1(), 1);  // block 1 names itself as next
  EXPECT_THAT(ErrorOf(self), HasSubstr("cycle at block 1"));
  Bytes far = good;
  Put16(far, Block1(), 0xFFFF);
  EXPECT_THAT(ErrorOf(far), HasSubstr("data block 65535 lies outside the file"));
  Bytes overfull = good;
  Put16(overfull, Block1() + 4, 0x7FFF);
  EXPECT_THAT(ErrorOf(overfull), HasSubstr("claims more records than it can hold"));
}

TEST_F(DamagedTable, EncryptedTablesAreRefused) {
  Bytes b = good;
  Put16(b, 0x5C, 0x1234);  // the second encryption word of a Paradox 4+ header
  EXPECT_THAT(ErrorOf(b), HasSubstr("encrypted"));
  WritePxlibTable(path, {{"Name", pt::kAlpha, 10}}, {{std::string("secret")}}, "password");
  const Bytes encrypted = Load(path);
  fs::remove(path);
  EXPECT_THAT(ErrorOf(encrypted), HasSubstr("the table is encrypted"));
}

TEST_F(DamagedTable, EmptyFirstBlockGivesTheNextBlocksRecord) {
  // Two blocks: the first emptied, the record moved to a second one linked from it.
  Bytes b = good;
  const std::size_t block = b.size() - Block1();
  b.resize(b.size() + block, 0);
  std::copy(b.begin() + Block1(), b.begin() + Block1() + block, b.begin() + Block1() + block);
  Put16(b, Block1(), 2);
  Put16(b, Block1() + 4, 0x10000 - 14);  // fill of minus one record: empty
  Put16(b, Block1() + block + 2, 1);
  const ParadoxTableData t = ParseParadox(b);
  EXPECT_EQ(ParadoxValueAsText(ReadParadoxValue(t, "Name")), "first");
}

}  // namespace
}  // namespace kelvane
