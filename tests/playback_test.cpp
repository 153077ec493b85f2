// Playback by cycles and the transport commands, on the fake player.

#include <gtest/gtest.h>

#include "sound/playback.h"
#include "state/paths.h"
#include "tests/fakes/fake_main_window.h"

namespace kelvane {
namespace {

using testing::FakeMainWindow;

std::string Remaining(const std::string& minutes, const std::string& seconds) {
  return "Remaining Session Time, (approx.):  " + minutes + " min.  " + seconds + " sec.";
}

class PlaybackTest : public ::testing::Test {
 protected:
  void Start(int cycles, int items) {
    w.state.cycles = cycles;
    w.state.itemCount = items;
    w.player.SetOnNotify([this] { MediaPlayer1Notify(w.state, w.controls); });
    StartPlayback(w.state, w.controls);
  }
  FakeMainWindow w;
};

TEST_F(PlaybackTest, ThreeCyclesOfFiveRowsCountDownAndBeepOnceAtTheEnd) {
  Start(3, 5);
  EXPECT_EQ(w.player.FileName(), HostPath("C:\\Kelvane\\Audio_Information\\SEQ_5X.MID"));
  EXPECT_EQ(w.shell.panels[1], "Current Cycle:  1");
  EXPECT_EQ(w.shell.panels[2], "Total Cycles:  3");
  EXPECT_EQ(w.shell.panels[3], Remaining("0", "40"));
  EXPECT_TRUE(w.state.playing);
  EXPECT_TRUE(w.timer2.Enabled());

  w.player.Finish();
  EXPECT_EQ(w.shell.panels[1], "Current Cycle:  2");
  EXPECT_EQ(w.shell.panels[3], Remaining("0", "20"));
  w.player.Finish();
  EXPECT_EQ(w.shell.panels[1], "Current Cycle:  3");
  EXPECT_EQ(w.shell.panels[3], Remaining("0", "0"));
  EXPECT_EQ(w.shell.beeps, 0);
  w.player.Finish();
  EXPECT_EQ(w.shell.panels[1], "Current Cycle:  3");
  EXPECT_EQ(w.shell.panels[3], Remaining("0", "0"));
  EXPECT_EQ(w.shell.panels[2], "Total Cycles:  3");
  EXPECT_EQ(w.shell.beeps, 1);
  EXPECT_FALSE(w.timer2.Enabled());
  EXPECT_EQ(w.player.Mode(), PlayerMode::Stopped);
  EXPECT_FALSE(w.player.Notify());
  EXPECT_EQ(w.log.Count("Play"), 3);
  EXPECT_TRUE(w.state.playing) << "the end leaves playing set";
}

TEST_F(PlaybackTest, ZeroCyclesPlaysOnceAndShowsANegativeTime) {
  Start(0, 20);
  EXPECT_EQ(w.shell.panels[3], Remaining("-1", "-20"));
  w.player.Finish();
  EXPECT_EQ(w.shell.beeps, 1);
  EXPECT_EQ(w.log.Count("Play"), 1);
}

TEST_F(PlaybackTest, MinutesAreNotLimitedTo59) {
  Start(46, 5);  // 45 cycles to come x 5 rows x 4 s = 900 s
  EXPECT_EQ(w.shell.panels[3], Remaining("15", "0"));
}

TEST_F(PlaybackTest, HugeCountsDoNotOverflow) {
  Start(2147483647, 2147483647);
  // 2147483646 x 2147483647 x 4 = 18446744047939747848 s, past 64 bits.
  EXPECT_EQ(w.shell.panels[3], Remaining("307445734132329130", "48"));
  EXPECT_EQ(w.state.remainingMinutes, 307445734132329130LL);
}

TEST_F(PlaybackTest, NegativeExtremesShowTheTrueTime) {
  // (INT32_MIN - 1) x INT32_MIN x 4 = 18446744082299486208 s.
  Start(INT32_MIN, INT32_MIN);
  EXPECT_EQ(w.shell.panels[3], Remaining("307445734704991436", "48"));
  EXPECT_EQ(w.shell.panels[2], "Total Cycles:  -2147483648");
}

TEST_F(PlaybackTest, SequenceFileFollowsTheRowCount) {
  const std::pair<int, std::string> cases[] = {
      {0, "SEQ_1X.MID"}, {1, "SEQ_1X.MID"}, {2, "SEQ_2X.MID"}, {30, "SEQ_30X.MID"}};
  for (const auto& [items, name] : cases) {
    FakeMainWindow fresh;
    fresh.state.itemCount = items;
    StartPlayback(fresh.state, fresh.controls);
    EXPECT_EQ(fresh.state.sequenceFileName, name);
  }
  FakeMainWindow above;
  above.state.itemCount = 31;
  above.state.sequenceFileName = "SEQ_30X.MID";
  StartPlayback(above.state, above.controls);
  EXPECT_EQ(above.player.FileName(), HostPath("C:\\Kelvane\\Audio_Information\\SEQ_30X.MID"));
  FakeMainWindow negative;
  negative.state.itemCount = -2;
  negative.state.sequenceFileName = "SEQ_1.MID";
  StartPlayback(negative.state, negative.controls);
  EXPECT_EQ(negative.state.sequenceFileName, "SEQ_1.MID");
}

TEST_F(PlaybackTest, FailedOpenStartsNothing) {
  w.player.failOpen = true;
  w.shell.panels[1] = "old";
  EXPECT_THROW(Start(3, 1), std::runtime_error);
  EXPECT_FALSE(w.state.playing);
  EXPECT_EQ(w.state.currentCycle, 0);
  EXPECT_EQ(w.shell.panels[1], "old");
  EXPECT_TRUE(w.timer2.Enabled()) << "Timer2 keeps its previous state";
}

TEST_F(PlaybackTest, NotificationInAnotherModeIsIgnored) {
  Start(3, 1);
  for (PlayerMode m : {PlayerMode::Paused, PlayerMode::Playing, PlayerMode::Open}) {
    w.player.ForceMode(m);
    MediaPlayer1Notify(w.state, w.controls);
  }
  EXPECT_EQ(w.state.currentCycle, 1);
  EXPECT_EQ(w.shell.panels[1], "Current Cycle:  1");
}

TEST_F(PlaybackTest, PauseTwiceResumesWhereItWas) {
  Start(3, 1);
  PauseMenuClick(w.state, w.controls);
  EXPECT_EQ(w.shell.pauseCaption, "RESUME");
  EXPECT_FALSE(w.timer2.Enabled());
  EXPECT_EQ(w.player.Mode(), PlayerMode::Paused);
  EXPECT_TRUE(w.state.paused);
  PauseMenuClick(w.state, w.controls);
  EXPECT_EQ(w.shell.pauseCaption, "Pause");
  EXPECT_TRUE(w.timer2.Enabled());
  EXPECT_EQ(w.player.Mode(), PlayerMode::Playing);
  EXPECT_FALSE(w.state.paused);
}

TEST_F(PlaybackTest, StopKeepsTotalAndTimeAndTheCaption) {
  Start(3, 5);
  PauseMenuClick(w.state, w.controls);
  w.state.sessionOpen = 1;
  StopMenuClick(w.state, w.controls);
  EXPECT_EQ(w.shell.panels[1], "Current Cycle:  0");
  EXPECT_EQ(w.shell.panels[2], "Total Cycles:  3");
  EXPECT_EQ(w.shell.panels[3], Remaining("0", "40"));
  EXPECT_EQ(w.shell.pauseCaption, "RESUME");
  EXPECT_EQ(w.state.cycles, 0);
  EXPECT_EQ(w.state.sessionOpen, 0);
  EXPECT_FALSE(w.timer2.Enabled());
  EXPECT_TRUE(w.state.playing);
  EXPECT_TRUE(w.state.paused);
}

TEST_F(PlaybackTest, OpeningAnotherFileWhilePausedKeepsResume) {
  Start(3, 1);
  PauseMenuClick(w.state, w.controls);
  Start(2, 2);
  EXPECT_EQ(w.player.Mode(), PlayerMode::Playing);
  EXPECT_EQ(w.shell.pauseCaption, "RESUME");
  EXPECT_TRUE(w.state.paused);
  PauseMenuClick(w.state, w.controls);
  EXPECT_EQ(w.shell.pauseCaption, "Pause");
  EXPECT_EQ(w.player.Mode(), PlayerMode::Playing);
}

// The extra play's end is reported although the end left Notify false, so
// the tunnel stops with the sound instead of running on in silence.
TEST_F(PlaybackTest, PauseAfterTheEndThenResumePlaysOnceMoreAndEndsAgain) {
  Start(1, 1);
  w.player.Finish();
  ASSERT_EQ(w.shell.beeps, 1);
  PauseMenuClick(w.state, w.controls);
  EXPECT_FALSE(w.timer2.Enabled());
  EXPECT_EQ(w.shell.pauseCaption, "RESUME");
  PauseMenuClick(w.state, w.controls);
  EXPECT_TRUE(w.timer2.Enabled());
  EXPECT_EQ(w.player.Mode(), PlayerMode::Playing);
  w.player.Finish();
  EXPECT_EQ(w.shell.beeps, 2);
  EXPECT_FALSE(w.timer2.Enabled());
  EXPECT_EQ(w.shell.panels[1], "Current Cycle:  1");
}

TEST_F(PlaybackTest, TheLargestCycleCountStillEnds) {
  Start(INT32_MAX, 1);
  w.state.currentCycle = INT32_MAX - 1;
  w.player.Finish();
  EXPECT_EQ(w.shell.panels[1], "Current Cycle:  2147483647");
  EXPECT_TRUE(w.timer2.Enabled());
  w.player.Finish();
  EXPECT_EQ(w.shell.beeps, 1);
  EXPECT_FALSE(w.timer2.Enabled());
  EXPECT_EQ(w.state.currentCycle, INT32_MAX);
}

TEST_F(PlaybackTest, TransportBeforeAnyFileRaisesAfterSwitchingTheTimer) {
  EXPECT_THROW(PauseMenuClick(w.state, w.controls), std::runtime_error);
  EXPECT_FALSE(w.timer2.Enabled());
  EXPECT_EQ(w.shell.pauseCaption, "Pause");
  EXPECT_FALSE(w.state.paused);
  w.state.sessionOpen = 1;
  w.state.cycles = 4;
  EXPECT_THROW(StopMenuClick(w.state, w.controls), std::runtime_error);
  EXPECT_EQ(w.state.cycles, 4);
  EXPECT_EQ(w.state.sessionOpen, 1);
}

TEST_F(PlaybackTest, EndDuringTheFileDialogOfANewLoadEndsTheOldSession) {
  Start(3, 1);
  w.state.cycles = 0;  // the loader's reset, dialog still open
  w.state.currentCycle = 0;
  w.player.Finish();
  EXPECT_EQ(w.shell.beeps, 1);
  EXPECT_FALSE(w.timer2.Enabled());
}

}  // namespace
}  // namespace kelvane
