#include "sound/midi_templates.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <set>
#include <stdexcept>
#include <system_error>

#include "sound/note_keys.h"
#include "state/session_state.h"

namespace kelvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kVelocityOn = 0x64;
constexpr std::uint8_t kVelocityOff = 0x40;
constexpr std::uint8_t kNoteTicks = 100;  // 250 ms at 200 ticks a 500 ms quarter
constexpr std::uint8_t kGapTicks = 14;
// Rows start 1600 ticks (4 s) apart: 13 x 100 + 12 x 14 played, 132 to wait.
// 132 needs a two-byte delta, which is the one byte a row has beyond its notes.
constexpr std::initializer_list<std::uint8_t> kRowGap = {0x81, 0x04};
constexpr double kTicksASecond = 400;
static_assert(kNoteTicks / kTicksASecond == kTemplateNoteSeconds);
static_assert((kNoteTicks + kGapTicks) / kTicksASecond == kTemplateNoteStepSeconds);
static_assert((13 * kNoteTicks + 12 * kGapTicks + ((0x81 & 0x7F) << 7 | 0x04)) / kTicksASecond == kTemplateRowSeconds);
static_assert(kNotesPerItem * kNoteTicks + (kNotesPerItem - 1) * kGapTicks + 132 == kTemplateRowTicks);

void Append(Bytes& out, std::initializer_list<std::uint8_t> bytes) { out.insert(out.end(), bytes); }

void AppendBig32(Bytes& out, std::uint32_t v) {
  Append(out, {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
               static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)});
}

// Format 0, one track, 200 ticks a quarter note.
void AppendHeader(Bytes& out, std::uint32_t trackLength) {
  static_assert(kTemplateTicksPerQuarter == 200);
  Append(out, {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 200});
  Append(out, {'M', 'T', 'r', 'k'});
  AppendBig32(out, trackLength);
}

// Offsets 22..70. The program change's data byte must be at 55; the
// controllers after it fill the room up to the first note at 71.
void AppendSetup(Bytes& out) {
  static_assert(kTemplateQuarterMicroseconds == 0x07A120);
  Append(out, {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});        // tempo 500000 us
  Append(out, {0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08});  // 4/4
  Append(out, {0x00, 0xFF, 0x03, 0x0C, 'K', 'e', 'l', 'v', 'a', 'n', 'e', ' ', 'T', 'u', 'n', 'e'});
  Append(out, {0x00, 0xC0, 0x00});        // program 0
  Append(out, {0x00, 0xB0, 0x07, 0x64});  // volume
  Append(out, {0x00, 0xB0, 0x0A, 0x40});  // pan centre
  Append(out, {0x00, 0xB0, 0x5B, 0x28});  // reverb send
  Append(out, {0x00, 0x5D, 0x00});        // chorus off, running status
}

// Note on, then note off 100 ticks later; both keys are patched in place.
void AppendNote(Bytes& out, std::uint8_t key) {
  Append(out, {0x90, key, kVelocityOn, kNoteTicks, 0x80, key, kVelocityOff});
}

void AppendRow(Bytes& out, bool first) {
  for (int j = 0; j < kNotesPerItem; ++j) {
    if (j > 0) Append(out, {kGapTicks});
    else if (first) Append(out, {0x00});
    else Append(out, kRowGap);
    AppendNote(out, NoteKeyTable[static_cast<std::size_t>(j + 1)]);
  }
}

std::string TemplateName(int rows) { return "SEQ_" + std::to_string(rows) + "X.MID"; }

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The names in the directory, lower-cased, so seq_3x.mid counts as SEQ_3X.MID.
std::set<std::string> LowerCaseNames(const std::filesystem::path& dir) {
  std::set<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec))
    names.insert(Lower(entry.path().filename().string()));
  return names;
}

void WriteNewFile(const std::filesystem::path& path, const Bytes& bytes) {
  // "x": never replace a file that appeared in the meantime.
  std::FILE* file = std::fopen(path.c_str(), "wbx");
  if (file == nullptr) throw std::runtime_error("Cannot create template " + path.string());
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (std::fclose(file) != 0 || !written) throw std::runtime_error("Cannot write template " + path.string());
}

}  // namespace

std::vector<std::uint8_t> SequenceTemplate(int rows) {
  if (rows < 1 || rows > kMaxItems)
    throw std::invalid_argument("No sequence template for " + std::to_string(rows) + " rows");
  Bytes out;
  out.reserve(105 * static_cast<std::size_t>(rows) + 75);
  AppendHeader(out, 105 * static_cast<std::uint32_t>(rows) + 53);
  AppendSetup(out);
  for (int i = 1; i <= rows; ++i) AppendRow(out, i == 1);
  // The last row also gets its 132 ticks of rest, so every row lasts 4 s.
  Append(out, kRowGap);
  Append(out, {0xFF, 0x2F, 0x00});
  return out;
}

void WriteMissingTemplates(const std::string& audioDirectoryHostPath) {
  const std::filesystem::path dir(audioDirectoryHostPath);
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) throw std::runtime_error("Cannot create directory " + dir.string() + ": " + ec.message());
  const std::set<std::string> present = LowerCaseNames(dir);
  auto writeIfMissing = [&](const std::string& name, int rows) {
    if (present.count(Lower(name)) == 0) WriteNewFile(dir / name, SequenceTemplate(rows));
  };
  for (int rows = 1; rows <= kMaxItems; ++rows) writeIfMissing(TemplateName(rows), rows);
  // Opened when a session has no items.
  writeIfMissing("SEQ_1.MID", 1);
}

}  // namespace kelvane
