#pragma once
// The one record of everything the program knows at run time. TMainForm owns
// the only instance and hands it by reference to every procedure.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "toolkit/geometry.h"

namespace kelvane {

inline constexpr int kMaxItems = 30;          // Item1 .. Item30
inline constexpr int kNotesPerItem = 13;
inline constexpr int kRingSlots = 390;        // squares per tick, ring slots
inline constexpr int kSequenceEntries = 390;  // 30 items x 13 notes
inline constexpr int kPaletteEntries = 14;    // note codes 0..13
inline constexpr int kNoteGridColumns = 15;   // 13 used

// The media player's mode names, indexed by PlayerMode.
inline constexpr std::array<std::string_view, 7> modeNames = {
    "Not ready", "Stopped", "Playing", "Recording", "Seeking", "Paused", "Open"};

struct SessionState {
  // Session parameters, read from the Ambrel file by the loader.
  std::int32_t colorR = 0, colorG = 0, colorB = 0;
  std::int32_t pulseFreq = 1000;
  std::int32_t pulsePhase = 0;
  std::int32_t geoVertical = 180;
  std::int32_t geoHorizontal = 180;
  std::int32_t form = 1;
  std::int32_t density = 2;  // the reset gives 1
  std::int32_t cycles = 0;
  std::int32_t areaX1 = 0, areaY1 = 0, areaX2 = 0, areaY2 = 0;
  std::int32_t numSelItems = 0;
  std::int32_t itemCount = 0;
  // 13 x NumSelItems, which does not fit 32 bits for every NumSelItems.
  std::int64_t colorSequenceLength = 0;
  std::int32_t instrumentNumber = 0;
  std::string instrumentName;
  std::string imageText;
  std::string sessionName;
  std::string fileType;
  std::string comment;
  std::array<std::string, kMaxItems + 1> items;     // entries 1..30
  std::array<std::string, kMaxItems + 1> itemRows;  // entries 1..30
  // The code page of the session table's texts, for showing the comment; 0
  // when the table does not say.
  std::int32_t textCodePage = 0;

  // Playback, display and control.
  std::int32_t sessionOpen = 0;
  bool playing = false;
  bool paused = false;
  std::int32_t currentCycle = 0;
  std::string sequenceFileName = "SEQ_1X.MID";
  // Wide: (cycles - currentCycle) x itemCount x 4 reaches 2^65 for the
  // largest counts a file can hold, and the status bar shows the true value.
  __extension__ __int128 remainingSeconds = 0;
  std::int64_t remainingMinutes = 0, remainingSecondsPart = 0;
  bool splashPending = true;
  std::int32_t noteCode = 0;

  // Tunnel, pulse and stimulus area.
  std::array<Point, 5> tunnelShape = {{{100, 150}, {150, 150}, {150, 100}, {100, 100}, {100, 150}}};
  Point areaTopLeft, areaBottomRight, areaCentre;
  Rect frameRect;
  std::optional<Rect> clipRegion;  // none until the first area set-up
  std::int32_t tickIndex = 0;
  Color injectColor = 0;
  std::int32_t pulseDivisor = 180;
  std::int32_t pulseCounter = 1;
  std::int32_t pulseRising = 1;
  // State of the visual subsystem's random stream (a 64-bit LCG that starts at 1).
  std::uint64_t randomState = 1;

  // Ring slot 389 and sequence entry 0 are one cell: the tunnel relies on it
  // (the first note's colour shows as the ring's last slot). One table of 779
  // colours gives that: ring slot k is cell k, sequence entry n is cell 389 + n.
  std::array<Color, kRingSlots + kSequenceEntries - 1> colorCells{};
  std::array<Color, kPaletteEntries> NotePalette{};
  // Rows 1..30 (row 0 unused), columns 0..12 used.
  std::array<std::array<std::int32_t, kNoteGridColumns>, kMaxItems + 1> NoteGrid{};

  std::span<Color, kRingSlots> ColorRing() { return std::span<Color, kRingSlots>(colorCells.data(), kRingSlots); }
  std::span<Color, kSequenceEntries> ColorSequence() {
    return std::span<Color, kSequenceEntries>(colorCells.data() + kRingSlots - 1, kSequenceEntries);
  }
  std::span<const Color, kRingSlots> ColorRing() const {
    return std::span<const Color, kRingSlots>(colorCells.data(), kRingSlots);
  }
  std::span<const Color, kSequenceEntries> ColorSequence() const {
    return std::span<const Color, kSequenceEntries>(colorCells.data() + kRingSlots - 1, kSequenceEntries);
  }
};

}  // namespace kelvane
