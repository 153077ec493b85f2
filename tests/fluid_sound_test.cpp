// What the FluidSynth player sounds like: a patched template's melody and
// instrument, silence on Pause, the beep, and renders that repeat exactly.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <malloc.h>

#include "sound/midi_templates.h"
#include "sound/note_keys.h"
#include "sound/sample_guard.h"
#include "sound/sequence_patch.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/manual_fluid_player.h"
#include "tests/fakes/temp_data_home.h"

namespace kelvane::testing {
namespace {

// Template notes start 114 ticks (285 ms) apart and last 250 ms.
constexpr double kNoteSpacing = 0.285;

class FluidSoundTest : public ::testing::Test {
 protected:
  // Writes the one-row template, patches it through the program's own
  // procedures, and renders a whole play of it.
  ManualFluidPlayer& PlayPatched(const std::array<int, 13>& codes, int instrument) {
    const auto path = home_.AudioDirectory() / "SEQ_1X.MID";
    WriteFile(path, SequenceTemplate(1));
    SessionState s;
    s.itemCount = 1;
    s.sequenceFileName = "SEQ_1X.MID";
    s.instrumentNumber = instrument;
    for (int j = 0; j < 13; ++j) s.NoteGrid[1][j] = codes[j];
    PatchSequenceNotes(s, shell_);
    PatchSequenceInstrument(s, shell_);
    EXPECT_TRUE(shell_.messages.empty());
    players_.emplace_back(std::make_unique<ManualFluidPlayer>());
    ManualFluidPlayer& p = *players_.back();
    p.player.SetFileName(path.string());
    p.player.Open();
    p.player.Play();
    p.Run(4.5);
    return p;
  }

  // The pitch of note j, with what was sounding just before its onset taken away.
  static double NoteKey(const ManualFluidPlayer& p, int j) {
    const double onset = j * kNoteSpacing;
    return PitchKey(Slice(p.left, onset + 0.03, onset + 0.23), j ? Slice(p.left, onset - 0.2, onset) : std::vector<float>{});
  }

  TempDataHome home_;
  Recorder log_;
  FakeShell shell_{log_};
  std::vector<std::unique_ptr<ManualFluidPlayer>> players_;
};

TEST_F(FluidSoundTest, APatchedRowPlaysItsKeysInOrder) {
  for (const auto& codes : {std::array<int, 13>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13},
                            std::array<int, 13>{5, 1, 13, 7, 2, 9, 3, 12, 4, 11, 6, 10, 0}}) {
    ManualFluidPlayer& p = PlayPatched(codes, 0);
    for (int j = 0; j < 13; ++j)
      EXPECT_NEAR(NoteKey(p, j), NoteKeyTable[static_cast<std::size_t>(codes[j])], 0.3) << "note " << j;
  }
}

TEST_F(FluidSoundTest, TheInstrumentByteChangesTheTimbreNotThePitch) {
  const std::array<int, 13> scale{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
  const auto& piano = PlayPatched(scale, 0).left;
  const auto& piano2 = PlayPatched(scale, 0).left;
  const auto& violin = PlayPatched(scale, 40).left;
  ManualFluidPlayer& flute = PlayPatched(scale, 73);
  EXPECT_EQ(piano, piano2);  // the manual clock renders the same samples every time
  // Measured with TimGM6mb: 0.76 to 0.81 between these three, 0.98 between
  // the two pianos 0 and 1, which that font plays alike.
  EXPECT_LT(SpectralSimilarity(piano, violin), 0.9);
  EXPECT_LT(SpectralSimilarity(piano, flute.left), 0.9);
  EXPECT_LT(SpectralSimilarity(violin, flute.left), 0.9);
  for (int j : {0, 6, 12}) EXPECT_NEAR(NoteKey(flute, j), NoteKeyTable[static_cast<std::size_t>(j + 1)], 0.3);
}

TEST_F(FluidSoundTest, PauseAndStopSilenceTheNotesAtOnce) {
  ManualFluidPlayer& p = PlayPatched({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 48);  // strings hold on
  p.player.Open();
  p.player.Play();
  p.Run(0.1);
  const double before = Rms(Slice(p.left, 4.55, 4.6));
  p.player.Pause();
  p.Run(0.4);
  // A held string note would stay as loud; what is left is the reverb's tail.
  EXPECT_GT(before, 0.01);
  EXPECT_LT(Rms(Slice(p.left, 4.8, 4.95)), before / 20);
  p.player.Play();
  p.Run(0.2);
  p.player.Stop();
  p.Run(0.4);
  EXPECT_LT(Rms(Slice(p.left, 5.4, 5.55)), before / 20);
}

TEST_F(FluidSoundTest, BeepIsAShortA5ThroughThePlayer) {
  ManualFluidPlayer p;
  p.Run(0.1);
  EXPECT_LT(Rms(p.left), 1e-6);
  p.player.Beep();
  p.Run(1.5);
  EXPECT_NEAR(PitchKey(Slice(p.left, 0.12, 0.24)), 81, 0.3);
  EXPECT_GT(Rms(Slice(p.left, 0.1, 0.25)), 0.01);
  EXPECT_LT(Rms(Slice(p.left, 1.3, 1.6)), Rms(Slice(p.left, 0.1, 0.25)) / 100);
}

// A fresh synthesizer once mixed leftover heap memory into its reverb: now
// and then a faint hiss, or an infinity that stayed for the whole run. The
// C library fills every new allocation with junk here, so memory that is
// used before it is set sounds every time, not only when the heap was dirty.
TEST_F(FluidSoundTest, FreshPlayersAreExactlySilentBeforeAnythingPlays) {
  mallopt(M_PERTURB, 0x80);  // new blocks hold 0x7F bytes: floats of 3.4e38
  const struct Restore { ~Restore() { mallopt(M_PERTURB, 0); } } restore;
  const SampleGuardCounts before = MendedSamples();
  for (int run = 0; run < 20; ++run) {
    ManualFluidPlayer p;
    p.RenderOnly(0.1);
    const bool silent = std::all_of(p.left.begin(), p.left.end(), [](float x) { return x == 0.0f; }) &&
                        std::all_of(p.right.begin(), p.right.end(), [](float x) { return x == 0.0f; });
    ASSERT_TRUE(silent) << "player " << run << " RMS " << Rms(p.left);
    // The output's guard silences what is not a number; the synthesizer must not make any.
    ASSERT_EQ(MendedSamples().nonFinite, before.nonFinite) << "player " << run;
    ASSERT_EQ(MendedSamples().clipped, before.clipped) << "player " << run;
  }
}

// KELVANE_WAV_OUT=<path> keeps the render for listening or for other tools.
TEST_F(FluidSoundTest, RendersAPatchedTemplateToAWavFile) {
  ManualFluidPlayer& p = PlayPatched({5, 1, 13, 7, 2, 9, 3, 12, 4, 11, 6, 10, 0}, 73);
  ASSERT_EQ(p.notifications.size(), 0u);  // Notify was never set
  if (const char* out = std::getenv("KELVANE_WAV_OUT")) WriteWav(out, p.left, p.right);
  EXPECT_EQ(p.left.size(), static_cast<std::size_t>(Frames(4.5)));
  EXPECT_EQ(p.player.Mode(), PlayerMode::Stopped);
}

}  // namespace
}  // namespace kelvane::testing
