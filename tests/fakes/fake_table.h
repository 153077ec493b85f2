#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <variant>

#include "tests/fakes/recorder.h"
#include "toolkit/table.h"
#include "toolkit/text.h"

namespace kelvane::testing {

// A one-record table held in memory: columns are integers or texts and are
// converted on reading as the real engine converts them.
class FakeTable : public Table {
 public:
  using Value = std::variant<std::int32_t, std::string>;
  explicit FakeTable(Recorder& log) : log_(log) {}

  void SetTableName(const std::string& path) override { name = path; }
  void Open() override {
    log_.Add("Table Open");
    if (failOpen) throw std::runtime_error("Cannot open table " + name);
    open = true;
  }
  void Close() override {
    log_.Add("Table Close");
    open = false;
  }
  std::int32_t FieldAsInteger(const std::string& column) override {
    const Value& v = Find(column);
    if (auto* i = std::get_if<std::int32_t>(&v)) return *i;
    const auto& text = std::get<std::string>(v);
    return text.empty() ? 0 : StrToInt(text);
  }
  std::string FieldAsString(const std::string& column) override {
    const Value& v = Find(column);
    if (auto* i = std::get_if<std::int32_t>(&v)) return std::to_string(*i);
    return std::get<std::string>(v);
  }

  int CodePage() const override { return codePage; }

  std::map<std::string, Value> columns;
  int codePage = 0;
  std::vector<std::string> reads;  // column names in the order they were read
  std::string name;
  bool open = false;
  bool failOpen = false;

 private:
  const Value& Find(const std::string& column) {
    reads.push_back(column);
    if (!open) throw std::runtime_error("Table is not open");
    auto it = columns.find(column);
    if (it == columns.end()) throw std::runtime_error("Field '" + column + "' not found");
    return it->second;
  }
  Recorder& log_;
};

// A valid Ambrel record of one note row.
inline std::map<std::string, FakeTable::Value> AmbrelRecord() {
  std::map<std::string, FakeTable::Value> c = {
      {"Image1", std::string("pic")},   {"InstrumentSel", std::string("Flute")},
      {"InstrumentNumber", 73},         {"SessionName", std::string("Blue Calm")},
      {"FileType", std::string("Ambr")}, {"Comment", std::string("Slow and blue")},
      {"ColorR", 10},                   {"ColorG", 20},
      {"ColorB", 30},                   {"PulseFreq", 500},
      {"PulsePhase", 1},                {"GeoVertical", 170},
      {"GeoHorizontal", 160},           {"Density", 3},
      {"Form", 2},                      {"Cycles", 4},
      {"AreaX1", 100},                  {"AreaY1", 60},
      {"AreaX2", 700},                  {"AreaY2", 510},
      {"NumSelItems", 1}};
  for (int n = 1; n <= 30; ++n) c["Item" + std::to_string(n)] = std::string();
  c["Item1"] = std::string("Row 1               01020304050607080910111213");
  return c;
}

}  // namespace kelvane::testing
