// ambrel: JSON session descriptions become Ambrel tables that the session
// table reads column by column, and `show` prints them back.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "session/ambrel_json.h"
#include "session/paradox_table.h"
#include "session/record_json.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

const char kBlueCalm[] = R"({"Image1": "", "InstrumentSel": "Acoustic Grand Piano", "InstrumentNumber": 0,
  "SessionName": "Blue Calm", "FileType": "Ambr", "Comment": "Calm \u00e9 \u20ac", "ColorR": 0, "ColorG": 80,
  "ColorB": 255, "PulseFreq": 1000, "PulsePhase": 0, "GeoVertical": 180, "GeoHorizontal": 180, "Density": 2,
  "Form": 1, "Cycles": 3, "AreaX1": 100, "AreaY1": 60, "AreaX2": 700, "AreaY2": 510,
  "Rows": [[1,2,3,4,5,6,7,8,9,10,11,12,13], [13,12,11,10,9,8,7,6,5,4,3,2,0]]})";

class AmbrelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("kelvane-ambrel-" + std::to_string(::getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string Create(const char* json) {
    const std::string path = (dir / "session.db").string();
    const AmbrelTable t = AmbrelFromJson(json);
    WritePxlibTable(path, t.columns, {t.row});
    table.SetTableName(path);
    table.Open();
    return path;
  }
  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = (dir / name).string();
    std::ofstream(path) << text;
    return path;
  }
  // Runs the installed-to-be command line; its exit code, with stdout and stderr in out.
  int Run(const std::string& args, std::string& out) {
    const std::string log = (dir / "out.txt").string();
    const int status = std::system((std::string(AMBREL_EXE) + " " + args + " >" + log + " 2>&1").c_str());
    std::ifstream in(log);
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return WEXITSTATUS(status);
  }
  fs::path dir;
  ParadoxTable table;
};

TEST_F(AmbrelTest, EveryLoaderColumnReadsBack) {
  Create(kBlueCalm);
  EXPECT_EQ(table.FieldAsString("Image1"), "");
  EXPECT_EQ(table.FieldAsString("InstrumentSel"), "Acoustic Grand Piano");
  EXPECT_EQ(table.FieldAsString("SessionName"), "Blue Calm");
  EXPECT_EQ(table.FieldAsString("FileType"), "Ambr");
  EXPECT_EQ(table.FieldAsString("Comment"), "Calm \xE9 \x80");  // kept as code page 1252 bytes
  const std::pair<const char*, int> integers[] = {
      {"InstrumentNumber", 0}, {"ColorR", 0},        {"ColorG", 80},  {"ColorB", 255},  {"PulseFreq", 1000},
      {"PulsePhase", 0},       {"GeoVertical", 180}, {"GeoHorizontal", 180}, {"Density", 2}, {"Form", 1},
      {"Cycles", 3},           {"AreaX1", 100},      {"AreaY1", 60},  {"AreaX2", 700},  {"AreaY2", 510},
      {"NumSelItems", 2}};
  for (const auto& [name, value] : integers) EXPECT_EQ(table.FieldAsInteger(name), value) << name;
  EXPECT_EQ(table.FieldAsString("Item1"), "Row 1               01020304050607080910111213");
  EXPECT_EQ(table.FieldAsString("Item2"), "Row 2               13121110090807060504030200");
  for (int n = 3; n <= 30; ++n) EXPECT_EQ(table.FieldAsString("Item" + std::to_string(n)), "");
}

TEST_F(AmbrelTest, MissingKeysTakeTheLoadersResetValues) {
  Create("{}");
  EXPECT_EQ(table.FieldAsString("FileType"), "Ambr");
  EXPECT_EQ(table.FieldAsString("InstrumentSel"), "Acoustic Grand Piano");
  EXPECT_EQ(table.FieldAsInteger("PulseFreq"), 1000);
  EXPECT_EQ(table.FieldAsInteger("GeoVertical"), 180);
  EXPECT_EQ(table.FieldAsInteger("Density"), 1);
  EXPECT_EQ(table.FieldAsInteger("Form"), 1);
  EXPECT_EQ(table.FieldAsInteger("Cycles"), 0);
  EXPECT_EQ(table.FieldAsInteger("NumSelItems"), 0);
}

TEST_F(AmbrelTest, RawOverridesMakeOddFiles) {
  const std::string longItem(60, '7');
  Create(("{\"FileType\": \"Ambr \", \"NumSelItems\": 31, \"Cycles\": null, \"Item2\": \"" + longItem +
          "\", \"Item1\": \"short\"}").c_str());
  EXPECT_EQ(table.FieldAsString("FileType"), "Ambr ");
  EXPECT_EQ(table.FieldAsInteger("NumSelItems"), 31);
  EXPECT_EQ(table.FieldAsString("Cycles"), "");
  EXPECT_EQ(table.FieldAsString("Item1"), "short");
  EXPECT_EQ(table.FieldAsString("Item2"), longItem);
}

TEST_F(AmbrelTest, BadDescriptionsAreRefusedWithTheReason) {
  const std::pair<const char*, const char*> cases[] = {
      {"{\"Cycles\": 3", "The JSON file has an error on line 1, column 13: "},
      {"{\n  \"Cycles\": 3,\n  \"Form\" 2\n}", "on line 3, column "},
      {"[1, 2]", "must be a JSON object"},
      {"{\"Colour\": 1}", "unknown key 'Colour'"},
      {"{\"Cycles\": \"3\"}", "'Cycles' must be a whole number"},
      {"{\"Cycles\": 1.5}", "'Cycles' must be a whole number"},
      {"{\"ColorR\": 3000000000}", "'ColorR' must be a whole number that fits in 32 bits"},
      {"{\"Comment\": 5}", "'Comment' must be a text"},
      {"{\"Comment\": \"\\u4e2d\"}", "code page 1252 cannot hold"},
      {"{\"Rows\": [[1,2,3]]}", "row 1 of 'Rows' must be a list of 13 note codes"},
      {"{\"Rows\": [[1,2,3,4,5,6,7,8,9,10,11,12,100]]}", "not a whole number from -9 to 99"},
      {"{\"Rows\": [{\"Label\": \"Twenty-one characters\", \"Notes\": [1,1,1,1,1,1,1,1,1,1,1,1,1]}]}",
       "row 1 of 'Rows''s 'Label' is longer than 20 characters"},
      // Every type error at once, a line each.
      {"{\"SessionName\": 5, \"Cycles\": \"3\", \"Colour\": 1}",
       "unknown key 'Colour'\n'SessionName' must be a text\n'Cycles' must be a whole number"},
  };
  for (const auto& [json, error] : cases) {
    try {
      AmbrelFromJson(json);
      ADD_FAILURE() << json << " was accepted";
    } catch (const AmbrelJsonError& e) {
      EXPECT_THAT(e.what(), HasSubstr(error)) << json;
    }
  }
  const std::string tooLong = "{\"Comment\": \"" + std::string(256, 'x') + "\"}";
  EXPECT_THROW(AmbrelFromJson(tooLong.c_str()), AmbrelJsonError);
  std::string rows = "{\"Rows\": [";
  for (int r = 0; r < 31; ++r) rows += std::string(r ? "," : "") + "[0,0,0,0,0,0,0,0,0,0,0,0,0]";
  EXPECT_THROW(AmbrelFromJson((rows + "]}").c_str()), AmbrelJsonError);
}

TEST_F(AmbrelTest, ShowPrintsARecordThatCreateTakesBack) {
  const std::string path = Create(kBlueCalm);
  const std::string shown = RecordAsJson(OpenParadoxFile(path));
  EXPECT_THAT(shown, HasSubstr("  \"SessionName\": \"Blue Calm\",\n"));
  EXPECT_THAT(shown, HasSubstr("  \"Comment\": \"Calm \xC3\xA9 \xE2\x82\xAC\",\n"));  // UTF-8 again
  EXPECT_THAT(shown, HasSubstr("  \"NumSelItems\": 2,\n"));
  EXPECT_THAT(shown, HasSubstr("  \"Item30\": null\n}"));
  Create(shown.c_str());
  EXPECT_EQ(RecordAsJson(OpenParadoxFile(path)), shown);
}

TEST_F(AmbrelTest, CommandLineCreatesShowsAndRefuses) {
  const std::string json = Write("blue.json", kBlueCalm);
  const std::string db = (dir / "blue.db").string();
  std::string out;
  ASSERT_EQ(Run("create " + json + " " + db, out), 0) << out;
  ASSERT_EQ(Run("show " + db, out), 0) << out;
  EXPECT_THAT(out, HasSubstr("\"Cycles\": 3,"));
  EXPECT_EQ(Run("create " + Write("bad.json", "{\"Cycles\": }") + " " + (dir / "bad.db").string(), out), 2);
  EXPECT_THAT(out, HasSubstr("bad.json: The JSON file has an error on line 1, column "));
  EXPECT_FALSE(fs::exists(dir / "bad.db"));
  EXPECT_EQ(Run("show " + json, out), 2);
  EXPECT_THAT(out, HasSubstr("Cannot open table " + json + ": "));
  EXPECT_EQ(Run("show " + (dir / "none.db").string(), out), 2);
  EXPECT_THAT(out, HasSubstr("No such file or directory"));
  EXPECT_EQ(Run("create only-one-argument", out), 2);
  EXPECT_THAT(out, HasSubstr("usage: ambrel create"));
}

}  // namespace
}  // namespace kelvane
