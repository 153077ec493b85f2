#include "sound/midi_templates.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "state/paths.h"
#include "tests/fakes/temp_data_home.h"

namespace kelvane {
namespace {

using testing::TempDataHome;
using Bytes = std::vector<std::uint8_t>;

// One event as midicsv prints it: "track, tick, Type, fields...".
struct CsvEvent {
  long tick = 0;
  std::string type;
  std::vector<long> fields;
};

struct CsvFile {
  int exitCode = -1;
  std::string text;
  std::vector<CsvEvent> events;  // track 1 only
  long division = 0;
};

bool HaveMidicsv() { return std::system("command -v midicsv >/dev/null 2>&1") == 0; }

CsvEvent ParseLine(const std::string& line) {
  std::stringstream in(line);
  std::string cell;
  CsvEvent e;
  std::getline(in, cell, ',');
  std::getline(in, cell, ',');
  e.tick = std::stol(cell);
  std::getline(in, cell, ',');
  e.type = cell.substr(cell.find_first_not_of(' '));
  while (std::getline(in, cell, ',')) {
    try {
      e.fields.push_back(std::stol(cell));
    } catch (const std::invalid_argument&) {  // the title text
    }
  }
  return e;
}

// Runs the independent parser over the file; it refuses what a strict reader would.
CsvFile Midicsv(const std::filesystem::path& file) {
  CsvFile out;
  std::FILE* pipe = popen(("midicsv '" + file.string() + "' 2>&1").c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) out.text += buffer;
  out.exitCode = pclose(pipe);
  std::stringstream lines(out.text);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("0, 0, Header", 0) == 0) out.division = ParseLine(line).fields.at(2);
    if (line.rfind("1, ", 0) == 0) out.events.push_back(ParseLine(line));
  }
  return out;
}

std::filesystem::path WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return path;
}

Bytes ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<const CsvEvent*> OfType(const CsvFile& f, const std::string& type) {
  std::vector<const CsvEvent*> out;
  for (const auto& e : f.events)
    if (e.type == type) out.push_back(&e);
  return out;
}

TEST(SequenceTemplate, EveryTemplateParsesWithNotesAtTheirOffsetsAndLastsFourSecondsARow) {
  if (!HaveMidicsv()) GTEST_SKIP() << "midicsv is not installed";
  TempDataHome home;
  for (int n = 1; n <= 30; ++n) {
    SCOPED_TRACE("rows " + std::to_string(n));
    Bytes bytes = SequenceTemplate(n);
    ASSERT_EQ(bytes.size(), 105u * n + 75);
    // Mark the program and one note per row the way the patcher would, so the
    // parsed events prove which bytes they came from.
    bytes[55] = 42;
    for (int i = 1; i <= n; ++i) bytes[105 * i + 8 * (i % 13) - 32] = bytes[105 * i + 8 * (i % 13) - 28] = 30 + i;
    const CsvFile csv = Midicsv(WriteBytes(home.AudioDirectory() / "t.mid", bytes));
    ASSERT_EQ(csv.exitCode, 0) << csv.text;
    ASSERT_EQ(csv.division, 200);
    // midicsv forgives a wrong track length and data bytes of 0x80 or more;
    // a strict reader does not.
    const std::size_t trackLength = (std::size_t{bytes[18]} << 24) | (bytes[19] << 16) | (bytes[20] << 8) | bytes[21];
    EXPECT_EQ(trackLength, bytes.size() - 22);
    for (const auto& e : csv.events) {
      if (!e.type.ends_with("_c")) continue;
      for (long field : e.fields) EXPECT_TRUE(field >= 0 && field <= 127) << e.type;
    }

    const auto tempo = OfType(csv, "Tempo");
    ASSERT_EQ(tempo.size(), 1u);
    ASSERT_EQ(tempo[0]->fields.at(0), 500000);
    const auto program = OfType(csv, "Program_c");
    ASSERT_EQ(program.size(), 1u);
    EXPECT_EQ(program[0]->fields.at(1), 42);

    const auto on = OfType(csv, "Note_on_c");
    const auto off = OfType(csv, "Note_off_c");
    ASSERT_EQ(on.size(), 13u * n);
    ASSERT_EQ(off.size(), 13u * n);
    for (int i = 1; i <= n; ++i) {
      for (int j = 0; j < 13; ++j) {
        const std::size_t k = 13 * (i - 1) + j;
        EXPECT_EQ(on[k]->fields.at(1), bytes[105 * i + 8 * j - 32]);
        EXPECT_EQ(off[k]->fields.at(1), bytes[105 * i + 8 * j - 28]);
        EXPECT_GT(on[k]->fields.at(2), 0);  // a velocity of 0 would be a note-off
        EXPECT_EQ(off[k]->tick - on[k]->tick, 100);
      }
      EXPECT_EQ(on[13 * (i - 1) + i % 13]->fields.at(1), 30 + i);
    }

    const auto end = OfType(csv, "End_track");
    ASSERT_EQ(end.size(), 1u);
    const double secondsPerTick = tempo[0]->fields.at(0) / 1e6 / csv.division;
    EXPECT_DOUBLE_EQ(end[0]->tick * secondsPerTick, 4.0 * n);
    EXPECT_DOUBLE_EQ(on[13 * (n - 1)]->tick * secondsPerTick, 4.0 * (n - 1));
    EXPECT_LE(off.back()->tick, end[0]->tick);
  }
}

TEST(SequenceTemplate, TheDefaultMelodyIsTheRisingScaleOnProgramZero) {
  const Bytes bytes = SequenceTemplate(2);
  EXPECT_EQ(bytes[55], 0);
  const int keys[] = {60, 63, 65, 66, 67, 70, 72, 75, 77, 78, 79, 82, 84};
  for (int i = 1; i <= 2; ++i)
    for (int j = 0; j < 13; ++j) EXPECT_EQ(bytes[105 * i + 8 * j - 32], keys[j]);
}

TEST(SequenceTemplate, RowCountsWithoutATemplateAreRefused) {
  EXPECT_THROW(SequenceTemplate(0), std::invalid_argument);
  EXPECT_THROW(SequenceTemplate(-3), std::invalid_argument);
  EXPECT_THROW(SequenceTemplate(31), std::invalid_argument);
}

TEST(WriteMissingTemplates, WritesAllThirtyOneFilesIntoANewDirectory) {
  TempDataHome home;
  const std::string dir = HostPath(kAudioDirectory);
  std::filesystem::remove_all(dir);

  WriteMissingTemplates(dir);

  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++files;
  EXPECT_EQ(files, 31);
  for (int n = 1; n <= 30; ++n)
    EXPECT_EQ(ReadBytes(HostPath(std::string(kAudioDirectory) + "SEQ_" + std::to_string(n) + "X.MID")),
              SequenceTemplate(n));
  EXPECT_EQ(ReadBytes(HostPath(std::string(kAudioDirectory) + "SEQ_1.MID")), SequenceTemplate(1));
}

TEST(WriteMissingTemplates, NeverReplacesAFileInAnyLetterCase) {
  TempDataHome home;
  const auto dir = home.AudioDirectory();
  const Bytes patched = {1, 2, 3};
  WriteBytes(dir / "SEQ_5X.MID", patched);
  WriteBytes(dir / "seq_3x.mid", patched);
  WriteBytes(dir / "Seq_1.mid", patched);

  WriteMissingTemplates(dir.string());

  EXPECT_EQ(ReadBytes(dir / "SEQ_5X.MID"), patched);
  EXPECT_EQ(ReadBytes(dir / "seq_3x.mid"), patched);
  EXPECT_EQ(ReadBytes(dir / "Seq_1.mid"), patched);
  EXPECT_FALSE(std::filesystem::exists(dir / "SEQ_3X.MID"));
  EXPECT_FALSE(std::filesystem::exists(dir / "SEQ_1.MID"));
  EXPECT_EQ(ReadBytes(dir / "SEQ_4X.MID"), SequenceTemplate(4));

  // A second start keeps what the first one wrote and the sessions since patched.
  WriteBytes(dir / "SEQ_4X.MID", patched);
  WriteMissingTemplates(dir.string());
  EXPECT_EQ(ReadBytes(dir / "SEQ_4X.MID"), patched);
}

TEST(WriteMissingTemplates, AnUnwritableDirectoryRaisesAClearError) {
  TempDataHome home;
  const auto blocker = home.AudioDirectory() / "file";
  WriteBytes(blocker, {0});
  EXPECT_THROW(WriteMissingTemplates((blocker / "sub").string()), std::runtime_error);
}

}  // namespace
}  // namespace kelvane
