// Whole sessions with the program's playback procedures driving the real
// FluidSynth player on the manual clock: cycles end when the sound ends.

#include <gtest/gtest.h>

#include "sound/midi_templates.h"
#include "sound/playback.h"
#include "tests/fakes/call_queue.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_surface.h"
#include "tests/fakes/fake_table.h"
#include "tests/fakes/fake_timer.h"
#include "tests/fakes/manual_fluid_player.h"
#include "tests/fakes/temp_data_home.h"

namespace kelvane::testing {
namespace {

// The main window's controls with the FluidSynth player in place of the fake.
struct FluidMainWindow {
  FluidMainWindow() {
    sound.onNotify = [this] { MediaPlayer1Notify(state, controls); };
  }
  Recorder log;
  FakeShell shell{log};
  FakeSurface surface{log};
  ManualFluidPlayer sound;
  FakeTable table{log};
  FakeFileDialog dialog{log};
  FakeTimer timer2{log, "Timer2", false};
  MainControls controls{shell, surface, sound.player, table, dialog, timer2};
  SessionState state;
};

class FluidSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(home_.AudioDirectory() / "SEQ_1X.MID", SequenceTemplate(1));
    w_.state.itemCount = 1;
    w_.state.cycles = 3;
    w_.state.sessionOpen = 1;
  }
  TempDataHome home_;  // before the window: the player's file lives there
  FluidMainWindow w_;
};

TEST_F(FluidSessionTest, ThreeCyclesPlayTheRowThreeTimesThenBeepOnce) {
  StartPlayback(w_.state, w_.controls);
  EXPECT_EQ(w_.shell.panels[3], "Remaining Session Time, (approx.):  0 min.  8 sec.");
  w_.sound.Run(6);
  EXPECT_EQ(w_.shell.panels[1], "Current Cycle:  2");
  EXPECT_EQ(w_.shell.panels[3], "Remaining Session Time, (approx.):  0 min.  4 sec.");
  w_.sound.Run(14);

  ASSERT_EQ(w_.sound.notifications.size(), 3u);
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(w_.sound.notifications[k], 4.0 * (k + 1), 0.06);
  EXPECT_EQ(w_.shell.beeps, 1);
  EXPECT_GT(w_.log.IndexOf("Beep"), w_.log.IndexOf("Timer2 off"));
  EXPECT_FALSE(w_.timer2.Enabled());
  EXPECT_EQ(w_.state.currentCycle, 4);
  EXPECT_EQ(w_.shell.panels[1], "Current Cycle:  3");
  EXPECT_EQ(w_.sound.player.Mode(), PlayerMode::Stopped);
  // Every cycle starts the row from its first note; after the last, silence.
  for (double start : {0.0, 4.0, 8.0}) EXPECT_NEAR(PitchKey(Slice(w_.sound.left, start + 0.03, start + 0.23)), 60, 0.3);
  EXPECT_LT(Rms(Slice(w_.sound.left, 15, 20)), 1e-4);
}

TEST_F(FluidSessionTest, PauseAndResumeDelayTheEndByThePause) {
  StartPlayback(w_.state, w_.controls);
  w_.sound.Run(2);
  PauseMenuClick(w_.state, w_.controls);
  w_.sound.Run(3);
  PauseMenuClick(w_.state, w_.controls);
  w_.sound.Run(12);
  ASSERT_EQ(w_.sound.notifications.size(), 3u);
  EXPECT_NEAR(w_.sound.notifications[0], 7.0, 0.06);
  EXPECT_NEAR(w_.sound.notifications[2], 15.0, 0.06);
  EXPECT_EQ(w_.shell.beeps, 1);
}

TEST_F(FluidSessionTest, StopEndsTheSessionWithoutABeepOrAnotherCycle) {
  StartPlayback(w_.state, w_.controls);
  w_.sound.Run(5);
  StopMenuClick(w_.state, w_.controls);
  w_.sound.Run(10);
  EXPECT_EQ(w_.sound.notifications.size(), 1u);
  EXPECT_EQ(w_.shell.beeps, 0);
  EXPECT_EQ(w_.shell.panels[1], "Current Cycle:  0");
  EXPECT_LT(Rms(Slice(w_.sound.left, 6, 15)), 1e-4);
}

TEST_F(FluidSessionTest, ResumeAfterTheEndPlaysOnceMoreThenStopsTheTunnelAgain) {
  w_.state.cycles = 1;
  StartPlayback(w_.state, w_.controls);
  w_.sound.Run(5);
  ASSERT_EQ(w_.shell.beeps, 1);
  PauseMenuClick(w_.state, w_.controls);
  PauseMenuClick(w_.state, w_.controls);
  EXPECT_TRUE(w_.timer2.Enabled());
  w_.sound.Run(5);
  EXPECT_EQ(w_.shell.beeps, 2);
  EXPECT_FALSE(w_.timer2.Enabled()) << "the tunnel ran on after the sound";
}

TEST_F(FluidSessionTest, AMissingTemplateLeavesThePlayerClosedAndTheCountersAsTheyWere) {
  w_.state.sequenceFileName = "SEQ_1X.MID";
  std::filesystem::remove(home_.AudioDirectory() / "SEQ_1X.MID");
  EXPECT_THROW(StartPlayback(w_.state, w_.controls), std::runtime_error);
  EXPECT_FALSE(w_.state.playing);
  EXPECT_EQ(w_.state.currentCycle, 0);
  EXPECT_FALSE(w_.timer2.Enabled());
  EXPECT_THROW(PauseMenuClick(w_.state, w_.controls), std::runtime_error);
  EXPECT_FALSE(w_.state.paused);
}

// A machine without sound: the silent clock keeps a session's time, in real
// time, to its end and the beep, and stops when all is quiet.
TEST(SilentClockSessionTest, TwoCyclesRunToTheEndAndOneBeep) {
  TempDataHome home;
  WriteFile(home.AudioDirectory() / "SEQ_1X.MID", SequenceTemplate(1));
  CallQueue queue;
  FluidPlayer player({AudioOutput::SilentClock, TestSoundFont(), kSampleRate, queue.Poster()});
  Recorder log;
  FakeShell shell{log};
  FakeSurface surface{log};
  FakeTable table{log};
  FakeFileDialog dialog{log};
  FakeTimer timer2{log, "Timer2", false};
  MainControls controls{shell, surface, player, table, dialog, timer2};
  SessionState state;
  state.itemCount = 1;
  state.cycles = 2;
  player.SetOnNotify([&] { MediaPlayer1Notify(state, controls); });
  const auto start = std::chrono::steady_clock::now();
  StartPlayback(state, controls);
  queue.RunFor(20, [&] { return shell.beeps > 0; });
  const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(shell.beeps, 1);
  EXPECT_GE(took, 7.9) << "two plays of 4 s each";
  EXPECT_EQ(shell.panels[1], "Current Cycle:  2");
  EXPECT_EQ(state.currentCycle, 3);
  EXPECT_FALSE(timer2.Enabled());
  queue.RunFor(3, [&] { return !player.OutputRunning(); });
  EXPECT_FALSE(player.OutputRunning());
}

}  // namespace
}  // namespace kelvane::testing
