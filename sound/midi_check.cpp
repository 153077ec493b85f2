#include "sound/midi_check.h"

#include <stdexcept>
#include <string>

#include "state/file_bytes.h"

namespace kelvane {
namespace {

// FluidSynth counts ticks in int and turns time into ticks through a double
// cast to int: a track of nearly 2^31 ticks overflows there and its play
// never ends. 2^30 leaves room for the largest step of its clock, and is far
// beyond any real session (days).
constexpr std::uint64_t kMaxTrackTicks = std::uint64_t{1} << 30;

// The player keeps at most 128 tracks and reads the count's low byte as a
// signed char, so 127 is the most it handles.
constexpr unsigned kMaxTracks = 127;

[[noreturn]] void Fail(const std::string& why) { throw std::runtime_error(why); }

std::uint32_t Be32(std::span<const std::uint8_t> b, std::size_t at) {
  return std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 | std::uint32_t{b[at + 2]} << 8 | b[at + 3];
}

unsigned Be16(std::span<const std::uint8_t> b, std::size_t at) { return unsigned{b[at]} << 8 | b[at + 1]; }

// Reads the events of one track chunk, never past its end.
class TrackReader {
 public:
  TrackReader(std::span<const std::uint8_t> track, unsigned number, std::vector<ProgramChange>& programs)
      : t_(track), number_(number), programs_(programs) {}

  void CheckAll() {
    while (pos_ < t_.size() && !ended_) CheckEvent();
  }

 private:
  std::uint8_t Next() {
    if (pos_ >= t_.size()) Fail("track " + std::to_string(number_) + " ends in the middle of an event");
    return t_[pos_++];
  }
  // A variable-length number of at most four bytes, as the player reads it.
  std::uint32_t VarLen() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      std::uint8_t c = Next();
      value = value << 7 | (c & 0x7F);
      if (!(c & 0x80)) return value;
    }
    Fail("track " + std::to_string(number_) + " has a variable-length number longer than four bytes");
  }
  void Skip(std::uint32_t n) {
    if (n > t_.size() - pos_) Fail("track " + std::to_string(number_) + " has an event longer than the track");
    pos_ += n;
  }
  std::uint8_t DataByte() {
    const std::uint8_t byte = Next();
    if (byte & 0x80) Fail("track " + std::to_string(number_) + " has a data byte above 127");
    return byte;
  }

  void CheckEvent() {
    ticks_ += VarLen();  // delta time
    if (ticks_ > kMaxTrackTicks) Fail("track " + std::to_string(number_) + " is too long");
    if (pos_ >= t_.size()) Fail("track " + std::to_string(number_) + " ends in the middle of an event");
    std::uint8_t status = t_[pos_] & 0x80 ? Next() : running_;
    if (status == 0) Fail("track " + std::to_string(number_) + " has data without a status byte");
    if (status == 0xFF) return CheckMeta();
    running_ = 0;
    if (status == 0xF0) return Skip(VarLen());
    if (status >= 0xF0) Fail("track " + std::to_string(number_) + " has an unsupported system event");
    running_ = status;
    const std::uint8_t first = DataByte();
    unsigned kind = status & 0xF0;
    if (kind == 0xC0) programs_.push_back({status & 0x0F, first});
    if (kind != 0xC0 && kind != 0xD0) DataByte();
  }

  void CheckMeta() {
    running_ = 0;
    std::uint8_t type = Next();
    std::uint32_t length = VarLen();
    std::size_t data = pos_;
    Skip(length);
    // The player refuses these with any other length, and a tempo of zero
    // would stop its clock.
    if ((type == 0x2F && length != 0) || (type == 0x51 && length != 3) || (type == 0x54 && length != 5) ||
        (type == 0x58 && length != 4) || (type == 0x59 && length != 2))
      Fail("track " + std::to_string(number_) + " has a meta event of the wrong length");
    if (type == 0x51 && t_[data] == 0 && t_[data + 1] == 0 && t_[data + 2] == 0)
      Fail("track " + std::to_string(number_) + " sets a tempo of zero");
    if (type == 0x2F) ended_ = true;
  }

  std::span<const std::uint8_t> t_;
  unsigned number_;
  std::size_t pos_ = 0;
  std::uint8_t running_ = 0;
  bool ended_ = false;
  std::uint64_t ticks_ = 0;
  std::vector<ProgramChange>& programs_;
};

// Returns the number of tracks after checking the header chunk.
unsigned CheckHeader(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 14 || Be32(bytes, 0) != 0x4D546864) Fail("not a MIDI file (no MThd header)");
  if (Be32(bytes, 4) != 6) Fail("the MThd header has the wrong length");
  if (Be16(bytes, 8) > 2) Fail("unknown MIDI file format " + std::to_string(Be16(bytes, 8)));
  unsigned tracks = Be16(bytes, 10);
  if (tracks == 0) Fail("the file has no tracks");
  if (tracks > kMaxTracks) Fail("the file has too many tracks (" + std::to_string(tracks) + ")");
  unsigned division = Be16(bytes, 12);
  if (division & 0x8000) Fail("SMPTE time division is not supported");
  if (division == 0) Fail("the time division is zero");
  return tracks;
}

}  // namespace

std::vector<ProgramChange> CheckStandardMidiFile(std::span<const std::uint8_t> bytes) {
  std::vector<ProgramChange> programs;
  unsigned tracks = CheckHeader(bytes);
  std::size_t pos = 14;
  unsigned found = 0;
  while (found < tracks) {
    if (bytes.size() - pos < 8) Fail("the file ends before track " + std::to_string(found + 1));
    std::uint32_t length = Be32(bytes, pos + 4);
    if (length > bytes.size() - pos - 8) Fail("a chunk runs past the end of the file");
    for (std::size_t i = pos; i < pos + 4; ++i)
      if (bytes[i] & 0x80) Fail("a chunk name is not ASCII");
    bool isTrack = Be32(bytes, pos) == 0x4D54726B;
    if (isTrack) TrackReader(bytes.subspan(pos + 8, length), ++found, programs).CheckAll();
    pos += 8 + std::size_t{length};
  }
  return programs;
}

}  // namespace kelvane

namespace kelvane {
namespace {

// The templates are a few kilobytes. FluidSynth parses a file on its audio
// thread while the player waits for it: 16 MiB took 0.8 s there.
constexpr std::size_t kMaxSequenceBytes = 1 << 20;

std::vector<std::uint8_t> ReadAll(const std::string& path) {
  try {
    return ReadRegularFile(path, kMaxSequenceBytes, "the file is too large for a sequence file");
  } catch (const FileReadError& e) {
    Fail(e.what());
  }
}

}  // namespace

SequenceBytes ReadSequenceFile(const std::string& path) {
  try {
    SequenceBytes file{ReadAll(path), {}};
    file.programs = CheckStandardMidiFile(file.bytes);
    return file;
  } catch (const std::runtime_error& e) {
    throw std::runtime_error("Cannot open sequence file " + path + ": " + e.what());
  }
}

}  // namespace kelvane
