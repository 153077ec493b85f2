// The FluidSynth player's transport and its end-of-play reports, on the
// manual clock with a one-row template (a play lasts 4 s).

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "sound/midi_templates.h"
#include "tests/fakes/manual_fluid_player.h"
#include "tests/fakes/temp_data_home.h"

namespace kelvane::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class FluidPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = (home_.AudioDirectory() / "SEQ_1X.MID").string();
    WriteFile(path_, SequenceTemplate(1));
    p_.player.SetFileName(path_);
  }
  void OpenAndPlay(bool notify = true) {
    p_.player.Open();
    p_.player.SetNotify(notify);
    p_.player.Play();
  }
  std::string OpenError(const std::string& path) {
    p_.player.SetFileName(path);
    try {
      p_.player.Open();
    } catch (const std::runtime_error& e) {
      return e.what();
    }
    return "no error";
  }

  TempDataHome home_;
  std::string path_;
  ManualFluidPlayer p_;
};

TEST_F(FluidPlayerTest, OpenRefusesMissingAndBrokenFilesAndLeavesNoFileOpen) {
  const auto dir = home_.AudioDirectory();
  EXPECT_EQ(OpenError((dir / "SEQ_7X.MID").string()),
            "Cannot open sequence file " + (dir / "SEQ_7X.MID").string() + ": No such file or directory");
  WriteFile(dir / "junk.mid", {'h', 'e', 'l', 'l', 'o'});
  EXPECT_THAT(OpenError((dir / "junk.mid").string()), HasSubstr("Cannot open sequence file"));
  EXPECT_THAT(OpenError((dir / "junk.mid").string()), HasSubstr("not a MIDI file"));
  auto half = SequenceTemplate(1);
  half.resize(half.size() / 2);
  WriteFile(dir / "half.mid", half);
  EXPECT_THAT(OpenError((dir / "half.mid").string()), HasSubstr("runs past the end"));
  EXPECT_THAT(OpenError(dir.string()), HasSubstr("Cannot open sequence file"));

  // A failed Open closes the file that was open before, as the sequencer does.
  p_.player.SetFileName(path_);
  p_.player.Open();
  EXPECT_THAT(OpenError((dir / "junk.mid").string()), HasSubstr("not a MIDI file"));
  EXPECT_EQ(p_.player.Mode(), PlayerMode::NotReady);
  EXPECT_THROW(p_.player.Play(), std::runtime_error);
}

TEST_F(FluidPlayerTest, TransportBeforeAnyOpenRaisesNoSequenceFileIsOpen) {
  for (auto call : {&FluidPlayer::Play, &FluidPlayer::Pause, &FluidPlayer::Stop}) {
    try {
      (p_.player.*call)();
      ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "No sequence file is open");
    }
  }
  EXPECT_EQ(p_.player.Mode(), PlayerMode::NotReady);
}

TEST_F(FluidPlayerTest, ModesFollowOpenPlayPausePlayStop) {
  EXPECT_EQ(p_.player.Mode(), PlayerMode::NotReady);
  p_.player.Open();
  EXPECT_EQ(p_.player.Mode(), PlayerMode::Open);
  p_.player.Pause();  // not playing: nothing changes
  EXPECT_EQ(p_.player.Mode(), PlayerMode::Open);
  p_.player.Play();
  EXPECT_EQ(p_.player.Mode(), PlayerMode::Playing);
  p_.Run(0.5);
  p_.player.Pause();
  EXPECT_EQ(p_.player.Mode(), PlayerMode::Paused);
  p_.player.Play();
  EXPECT_EQ(p_.player.Mode(), PlayerMode::Playing);
  p_.player.Stop();
  EXPECT_EQ(p_.player.Mode(), PlayerMode::Stopped);
  p_.player.Pause();
  p_.player.Stop();
  EXPECT_EQ(p_.player.Mode(), PlayerMode::Stopped);
}

TEST_F(FluidPlayerTest, EndOfAPlayIsReportedOnceWhenTheLastTickSounds) {
  OpenAndPlay();
  p_.Run(8);
  ASSERT_EQ(p_.notifications.size(), 1u);
  // FluidSynth itself would call the play done two seconds after the last voice.
  EXPECT_NEAR(p_.notifications[0], 4.0, 0.05);
  EXPECT_EQ(p_.player.Mode(), PlayerMode::Stopped);
  EXPECT_FALSE(p_.player.Notify());  // one report per Notify
}

TEST_F(FluidPlayerTest, EndIsNotReportedWithNotifyFalseButTheModeStillBecomesStopped) {
  OpenAndPlay(false);
  p_.Run(6);
  EXPECT_TRUE(p_.notifications.empty());
  EXPECT_EQ(p_.player.Mode(), PlayerMode::Stopped);
}

TEST_F(FluidPlayerTest, PlayAfterTheEndStartsAgainFromTheBeginning) {
  OpenAndPlay();
  p_.Run(4.5);
  ASSERT_EQ(p_.notifications.size(), 1u);
  p_.player.SetNotify(true);
  p_.player.Play();
  p_.Run(5);
  ASSERT_EQ(p_.notifications.size(), 2u);
  EXPECT_NEAR(p_.notifications[1] - 4.5, 4.0, 0.05);
  // The first note of the row, middle C, sounds again right after Play.
  EXPECT_NEAR(PitchKey(Slice(p_.left, 4.53, 4.73)), 60, 0.3);
}

TEST_F(FluidPlayerTest, PauseAndStopCutThePlayShortAndPlayGoesOnFromThere) {
  OpenAndPlay();
  p_.Run(1);
  p_.player.Pause();
  p_.Run(5);
  EXPECT_TRUE(p_.notifications.empty());
  p_.player.Play();  // 3 s of the row are left
  p_.Run(2);
  p_.player.Stop();
  p_.Run(3);
  EXPECT_TRUE(p_.notifications.empty());
  p_.player.Play();  // 1 s left
  p_.Run(3);
  ASSERT_EQ(p_.notifications.size(), 1u);
  EXPECT_NEAR(p_.notifications[0], 12.0, 0.05);
}

TEST_F(FluidPlayerTest, AnEndStillQueuedWhenThePlayIsCutShortNeverCounts) {
  OpenAndPlay();
  p_.RenderOnly(4.2);  // the end is found and posted, not yet handled
  ASSERT_FALSE(p_.posted.calls.empty());
  p_.player.Stop();
  p_.posted.RunAll();
  EXPECT_TRUE(p_.notifications.empty());

  // The same with a new file opened and playing in the meantime: the old end
  // must not end the new play.
  p_.player.Open();
  p_.player.SetNotify(true);
  p_.player.Play();
  p_.RenderOnly(4.2);
  p_.player.Open();
  p_.player.Play();
  p_.posted.RunAll();
  EXPECT_TRUE(p_.notifications.empty());
  EXPECT_EQ(p_.player.Mode(), PlayerMode::Playing);
  p_.Run(4.5);
  EXPECT_EQ(p_.notifications.size(), 1u);
}

TEST_F(FluidPlayerTest, PausingAPlayThatHasJustEndedStillCountsItsEnd) {
  OpenAndPlay();
  p_.RenderOnly(4.2);  // the end is found and posted, not yet handled
  ASSERT_FALSE(p_.posted.calls.empty());
  p_.player.Pause();
  p_.posted.RunAll();
  ASSERT_EQ(p_.notifications.size(), 1u) << "the cycle that ended is counted";
  EXPECT_EQ(p_.player.Mode(), PlayerMode::Stopped);
  p_.player.SetNotify(true);
  p_.player.Play();
  p_.Run(4.5);
  EXPECT_EQ(p_.notifications.size(), 2u) << "the next play is a whole new cycle";
}

TEST_F(FluidPlayerTest, ASampleRateOutsideWhatTheOutputsTakeIsRefused) {
  for (int rate : {0, -44100, 7999, 96001}) {
    PostedCalls posted;
    EXPECT_THROW(FluidPlayer(FluidPlayerOptions{AudioOutput::ManualClock, "", rate, posted.Poster()}),
                 std::invalid_argument)
        << rate;
  }
}

TEST_F(FluidPlayerTest, StopBeforeTheFirstPlayThenPlayPlaysTheWholeFile) {
  p_.player.Open();
  p_.player.Stop();
  EXPECT_EQ(p_.player.Mode(), PlayerMode::Stopped);
  p_.player.SetNotify(true);
  p_.player.Play();
  p_.Run(4.5);
  ASSERT_EQ(p_.notifications.size(), 1u);
  EXPECT_NEAR(p_.notifications[0], 4.0, 0.05);
}

TEST_F(FluidPlayerTest, AFileWithoutEventsEndsAtOnceSoASessionCannotHang) {
  WriteFile(path_, {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k', 0, 0, 0, 4, 0, 0xFF, 0x2F, 0});
  OpenAndPlay();
  p_.Run(0.1);
  ASSERT_EQ(p_.notifications.size(), 1u);
  p_.player.SetNotify(true);
  p_.player.Play();
  p_.Run(0.1);
  EXPECT_EQ(p_.notifications.size(), 2u);
}

TEST_F(FluidPlayerTest, PlayWhilePlayingChangesNothing) {
  OpenAndPlay();
  p_.Run(2);
  p_.player.Play();
  p_.Run(2.5);
  ASSERT_EQ(p_.notifications.size(), 1u);
  EXPECT_NEAR(p_.notifications[0], 4.0, 0.05);
}

TEST_F(FluidPlayerTest, APatchIsHeardOnlyAfterTheNextOpen) {
  OpenAndPlay();
  auto patched = SequenceTemplate(1);
  patched[73] = patched[77] = 84;  // the first note becomes the high C
  WriteFile(path_, patched);
  p_.Run(0.3);
  EXPECT_NEAR(PitchKey(Slice(p_.left, 0.03, 0.23)), 60, 0.3);
  p_.player.Open();
  p_.player.Play();
  p_.Run(0.3);
  EXPECT_NEAR(PitchKey(Slice(p_.left, 0.33, 0.53)), 84, 0.3);
}

TEST_F(FluidPlayerTest, APostedEndAfterThePlayerIsGoneDoesNothing) {
  PostedCalls orphans;
  {
    ManualFluidPlayer other;
    other.player.SetFileName(path_);
    other.player.Open();
    other.player.SetNotify(true);
    other.player.Play();
    other.RenderOnly(4.2);
    orphans.calls = std::move(other.posted.calls);
  }
  EXPECT_EQ(orphans.RunAll(), 1);  // runs, and touches nothing
}

// An open sound output costs a desktop CPU time even when it plays silence.
TEST_F(FluidPlayerTest, TheOutputRunsOnlyWhileSomethingSounds) {
  p_.Run(0.5);
  EXPECT_FALSE(p_.player.OutputRunning());
  OpenAndPlay();
  EXPECT_TRUE(p_.player.OutputRunning());
  p_.Run(4.2);  // the play ended at 4 s and its last note rings on
  EXPECT_TRUE(p_.player.OutputRunning());
  p_.Run(2);
  EXPECT_FALSE(p_.player.OutputRunning()) << "still running 2 s after the end";
  p_.player.Beep();
  EXPECT_TRUE(p_.player.OutputRunning());
  p_.Run(2);
  EXPECT_FALSE(p_.player.OutputRunning()) << "still running 2 s after the beep";
  p_.player.Play();
  p_.Run(1);
  p_.player.Pause();
  p_.Run(1);
  EXPECT_FALSE(p_.player.OutputRunning()) << "still running 1 s after Pause";
  p_.player.Play();
  EXPECT_TRUE(p_.player.OutputRunning());
}

TEST_F(FluidPlayerTest, AdvanceNeedsTheManualClock) {
  PostedCalls posted;
  FluidPlayer silent({AudioOutput::SilentClock, "", kSampleRate, posted.Poster()});
  EXPECT_EQ(silent.OutputName(), "none");  // nothing has sounded yet
  silent.Beep();
  EXPECT_EQ(silent.OutputName(), "silent clock");
  EXPECT_THROW(silent.Advance(10), std::logic_error);
  EXPECT_EQ(p_.player.OutputName(), "manual clock");
}

}  // namespace
}  // namespace kelvane::testing
