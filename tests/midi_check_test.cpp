// The check that stands between a sequence file and FluidSynth, cross-checked
// against FluidSynth's own reader; and where the SoundFont is looked for.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <fluidsynth.h>

#include <filesystem>
#include <random>
#include <sys/stat.h>

#include "sound/fluid_log.h"
#include "sound/midi_check.h"
#include "sound/midi_templates.h"
#include "sound/soundfont.h"
#include "tests/fakes/manual_fluid_player.h"
#include "tests/fakes/temp_data_home.h"

namespace kelvane::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;
using ::testing::HasSubstr;

std::string Verdict(const Bytes& bytes) {
  try {
    CheckStandardMidiFile(bytes);
    return "ok";
  } catch (const std::runtime_error& e) {
    return e.what();
  }
}

// A minimal format-0 file around the given track events.
Bytes FileWithTrack(const Bytes& events) {
  Bytes out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k', 0, 0, 0,
               static_cast<std::uint8_t>(events.size())};
  for (std::uint8_t e : events) out.push_back(e);  // (insert of an empty range upsets GCC 12's bounds warning)
  return out;
}

TEST(MidiCheckTest, EveryTemplateIsAccepted) {
  for (int rows = 1; rows <= 30; ++rows) EXPECT_EQ(Verdict(SequenceTemplate(rows)), "ok") << rows << " rows";
}

TEST(MidiCheckTest, BrokenHeadersAndTracksAreRefusedWithTheirReason) {
  Bytes good = SequenceTemplate(1);
  auto with = [&](std::size_t at, std::uint8_t value) {
    Bytes b = good;
    b[at] = value;
    return Verdict(b);
  };
  EXPECT_THAT(Verdict({}), HasSubstr("not a MIDI file"));
  EXPECT_THAT(with(0, 'X'), HasSubstr("not a MIDI file"));
  EXPECT_THAT(with(7, 7), HasSubstr("header has the wrong length"));
  EXPECT_THAT(with(9, 3), HasSubstr("unknown MIDI file format 3"));
  EXPECT_THAT(with(11, 0), HasSubstr("no tracks"));
  EXPECT_THAT(with(11, 2), HasSubstr("ends before track 2"));
  EXPECT_THAT(with(11, 128), HasSubstr("too many tracks"));
  EXPECT_THAT(with(12, 0xE7), HasSubstr("SMPTE"));
  EXPECT_THAT(with(13, 0), HasSubstr("time division is zero"));
  EXPECT_THAT(with(14, 0xC4), HasSubstr("not ASCII"));
  EXPECT_THAT(with(18, 0x7F), HasSubstr("runs past the end"));

  EXPECT_EQ(Verdict(FileWithTrack({0x00, 0xFF, 0x2F, 0x00})), "ok");
  EXPECT_EQ(Verdict(FileWithTrack({})), "ok");  // an empty track plays nothing, and ends
  EXPECT_THAT(Verdict(FileWithTrack({0x00, 0x3C, 0x40})), HasSubstr("without a status byte"));
  EXPECT_THAT(Verdict(FileWithTrack({0x00, 0x90, 0x3C, 0xC0})), HasSubstr("data byte above 127"));
  EXPECT_THAT(Verdict(FileWithTrack({0x00, 0x90, 0x3C})), HasSubstr("ends in the middle of an event"));
  EXPECT_THAT(Verdict(FileWithTrack({0x00})), HasSubstr("ends in the middle of an event"));
  EXPECT_THAT(Verdict(FileWithTrack({0x81, 0x82, 0x83, 0x84, 0x05, 0x90, 0x3C, 0x40})), HasSubstr("longer than four"));
  EXPECT_THAT(Verdict(FileWithTrack({0x00, 0xF1, 0x00})), HasSubstr("unsupported system event"));
  EXPECT_THAT(Verdict(FileWithTrack({0x00, 0xFF, 0x51, 0x03, 0, 0, 0})), HasSubstr("tempo of zero"));
  EXPECT_THAT(Verdict(FileWithTrack({0x00, 0xFF, 0x51, 0x02, 1, 0})), HasSubstr("wrong length"));
  EXPECT_THAT(Verdict(FileWithTrack({0x00, 0xFF, 0x01, 0x10, 'a'})), HasSubstr("longer than the track"));
  EXPECT_THAT(Verdict(FileWithTrack({0x00, 0xFF, 0x2F, 0x01, 0x00})), HasSubstr("wrong length"));
  // Meta and system events end running status.
  EXPECT_THAT(Verdict(FileWithTrack({0x00, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x01, 0x00, 0x00, 0x3C, 0x00})),
              HasSubstr("without a status byte"));
  // After the end of the track nothing more is read.
  EXPECT_EQ(Verdict(FileWithTrack({0x00, 0xFF, 0x2F, 0x00, 0xF1, 0xF2})), "ok");
}

TEST(MidiCheckTest, ATrackLongerThanThePlayerCanCountIsRefused) {
  // Eight deltas of 0x0FFFFFFF ticks: just under 2^31, where the player's
  // tick arithmetic overflows and the play would never end.
  Bytes events;
  for (int i = 0; i < 8; ++i) events.insert(events.end(), {0xFF, 0xFF, 0xFF, 0x7F, 0x90, 60, 64});
  events.insert(events.end(), {0x00, 0xFF, 0x2F, 0x00});
  EXPECT_THAT(Verdict(FileWithTrack(events)), HasSubstr("track 1 is too long"));
  events.erase(events.begin() + 7 * 4, events.begin() + 8 * 7);  // four of them: 2^30 - 4 ticks
  EXPECT_EQ(Verdict(FileWithTrack(events)), "ok");
}

TEST(MidiCheckTest, EveryTruncationIsRefused) {
  const Bytes good = SequenceTemplate(2);
  for (std::size_t n = 0; n < good.size(); ++n)
    EXPECT_NE(Verdict(Bytes(good.begin(), good.begin() + static_cast<long>(n))), "ok") << n << " bytes";
}

// FluidSynth reads the whole file when a play starts: the tick callback runs
// only when the file loaded.
bool FluidSynthLoads(fluid_synth_t* synth, const Bytes& bytes) {
  bool loaded = false;
  fluid_player_t* player = new_fluid_player(synth);
  fluid_player_add_mem(player, bytes.data(), bytes.size());
  fluid_player_set_tick_callback(
      player, [](void* data, int) { return *static_cast<bool*>(data) = true, FLUID_OK; }, &loaded);
  fluid_player_play(player);
  std::vector<float> l(64), r(64);
  fluid_synth_write_float(synth, 64, l.data(), 0, 1, r.data(), 0, 1);
  fluid_player_stop(player);
  delete_fluid_player(player);
  return loaded;
}

TEST(MidiCheckTest, WhatTheCheckAcceptsAfterRandomDamageFluidSynthLoads) {
  FluidErrorCapture quiet;  // FluidSynth complains about every damaged file
  fluid_settings_t* settings = new_fluid_settings();
  fluid_synth_t* synth = new_fluid_synth(settings);
  fluid_synth_system_reset(synth);  // a known start: see SynthEngine
  std::mt19937 random(20261207);
  const Bytes good = SequenceTemplate(2);
  ASSERT_TRUE(FluidSynthLoads(synth, good));
  ASSERT_FALSE(FluidSynthLoads(synth, Bytes(good.begin(), good.end() - 1)));
  int accepted = 0, refused = 0;
  for (int round = 0; round < 3000; ++round) {
    Bytes b = good;
    for (int k = 1 + round % 3; k > 0; --k) b[random() % b.size()] = static_cast<std::uint8_t>(random());
    if (Verdict(b) == "ok") {
      ++accepted;
      EXPECT_TRUE(FluidSynthLoads(synth, b)) << "round " << round;
    } else {
      ++refused;
    }
  }
  RecordProperty("accepted", accepted);
  EXPECT_GT(accepted, 100);
  EXPECT_GT(refused, 100);
  delete_fluid_synth(synth);
  delete_fluid_settings(settings);
}

TEST(MidiCheckTest, ReadSequenceFileNamesTheFileAndTheReason) {
  TempDataHome home;
  const auto dir = home.AudioDirectory();
  WriteFile(dir / "ok.mid", SequenceTemplate(3));
  const SequenceBytes ok = ReadSequenceFile((dir / "ok.mid").string());
  EXPECT_EQ(ok.bytes, SequenceTemplate(3));
  ASSERT_EQ(ok.programs.size(), 1u);  // read ahead so the instrument is ready before the first note
  EXPECT_EQ(ok.programs[0].channel, 0);
  EXPECT_EQ(ok.programs[0].program, 0);
  EXPECT_THROW(
      {
        try {
          ReadSequenceFile(dir.string());
        } catch (const std::runtime_error& e) {
          EXPECT_EQ(std::string(e.what()), "Cannot open sequence file " + dir.string() + ": not a regular file");
          throw;
        }
      },
      std::runtime_error);
  // A named pipe is refused without waiting for a writer.
  ASSERT_EQ(mkfifo((dir / "pipe.mid").c_str(), 0600), 0);
  EXPECT_THAT([&] { ReadSequenceFile((dir / "pipe.mid").string()); },
              ::testing::ThrowsMessage<std::runtime_error>(HasSubstr("not a regular file")));
  std::filesystem::resize_file(dir / "ok.mid", (1u << 20) + 1);
  EXPECT_THAT([&] { ReadSequenceFile((dir / "ok.mid").string()); },
              ::testing::ThrowsMessage<std::runtime_error>(HasSubstr("too large")));
}

TEST(SoundFontTest, TheFirstExistingCandidateIsUsedAndNoneNamesThePackage) {
  TempDataHome home;
  const auto dir = home.AudioDirectory();
  WriteFile(dir / "b.sf2", {1});
  std::filesystem::create_symlink(dir / "gone.sf2", dir / "dangling.sf2");
  EXPECT_EQ(FindSoundFont({(dir / "a.sf2").string(), (dir / "dangling.sf2").string(), (dir / "b.sf2").string()}),
            (dir / "b.sf2").string());
  EXPECT_THAT([&] { FindSoundFont({(dir / "a.sf2").string()}); },
              ::testing::ThrowsMessage<std::runtime_error>(HasSubstr("install the package timgm6mb-soundfont")));
}

TEST(SoundFontTest, APlayerWithoutItsSoundFontRefusesToOpenAndBeepsSilently) {
  TempDataHome home;
  const auto midi = home.AudioDirectory() / "SEQ_1X.MID";
  WriteFile(midi, SequenceTemplate(1));
  PostedCalls posted;
  FluidErrorCapture quiet;
  FluidPlayer player({AudioOutput::ManualClock, (home.AudioDirectory() / "none.sf2").string(), kSampleRate,
                      posted.Poster()});
  player.SetFileName(midi.string());
  EXPECT_THAT([&] { player.Open(); }, ::testing::ThrowsMessage<std::runtime_error>(HasSubstr("Cannot load the SoundFont")));
  EXPECT_THROW(player.Play(), std::runtime_error);
  player.Beep();
  std::vector<float> left;
  player.Advance(4410, &left);
  EXPECT_LT(Rms(left), 1e-6);
}

// CI installs timgm6mb-soundfont; without a General MIDI font the sound tests cannot run.
TEST(SoundFontTest, AGeneralMidiSoundFontIsInstalled) {
  EXPECT_NO_THROW(FindSoundFont()) << "install the package timgm6mb-soundfont";
}

}  // namespace
}  // namespace kelvane::testing
