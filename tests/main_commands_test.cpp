// The main window's own handlers: activation, closing, Exit, About, licence.

#include <gtest/gtest.h>

#include "commands/main_commands.h"
#include "sound/playback.h"
#include "tests/fakes/fake_main_window.h"

namespace kelvane {
namespace {

using testing::FakeMainWindow;

TEST(FormActivateTest, FirstActivationStopsTheTunnelSeedsColoursAndShowsTheSplashOnce) {
  FakeMainWindow w;
  w.state.sessionOpen = 1;
  w.shell.onModal = [&](ModalWindow) {
    EXPECT_FALSE(w.timer2.Enabled()) << "the splash comes after the other steps";
    EXPECT_EQ(w.state.sessionOpen, 0);
    EXPECT_TRUE(w.state.splashPending) << "cleared once the splash has been closed";
  };
  FormActivate(w.state, w.controls);
  EXPECT_FALSE(w.state.splashPending);
  EXPECT_EQ(w.log.Count("ShowModal Splash"), 1);
  EXPECT_EQ(w.state.NotePalette[1], 0x0000FFu) << "the palette is seeded";

  const Color slot0 = w.state.ColorRing()[0];
  w.state.sessionOpen = 1;
  w.timer2.SetEnabled(true);
  FormActivate(w.state, w.controls);
  FormActivate(w.state, w.controls);
  EXPECT_EQ(w.log.Count("ShowModal Splash"), 1) << "shown once per run";
  EXPECT_FALSE(w.timer2.Enabled());
  EXPECT_EQ(w.state.sessionOpen, 0);
  EXPECT_NE(w.state.ColorRing()[0], slot0) << "a new ramp from the running stream";
}

TEST(FormCloseTest, BeforeAnySessionNoStopReachesThePlayer) {
  FakeMainWindow w;
  w.state.cycles = 5;
  FormClose(w.state, w.controls);
  EXPECT_FALSE(w.log.Has("Stop"));
  EXPECT_TRUE(w.log.Has("Table Close"));
  EXPECT_TRUE(w.log.Has("SelectClip none"));
  EXPECT_FALSE(w.timer2.Enabled());
  EXPECT_FALSE(w.player.Notify());
  EXPECT_EQ(w.state.cycles, 0);
}

TEST(FormCloseTest, WhilePlayingStopsTheSoundAndTheTunnel) {
  FakeMainWindow w;
  w.state.cycles = 3;
  w.state.itemCount = 1;
  StartPlayback(w.state, w.controls);
  w.log.Clear();
  FormClose(w.state, w.controls);
  const std::vector<std::string> expected = {"Table Close", "SelectClip none", "Timer2 off", "Notify false", "Stop"};
  EXPECT_EQ(w.log.calls, expected);
  EXPECT_FALSE(w.state.playing);
  EXPECT_EQ(w.state.cycles, 0);
  EXPECT_EQ(w.player.Mode(), PlayerMode::Stopped);
}

TEST(ExitTest, ExitOnlyClosesTheMainWindow) {
  FakeMainWindow w;
  ExitClick1(w.state, w.controls);
  EXPECT_EQ(w.log.calls, std::vector<std::string>{"CloseMainWindow"});
}

TEST(HelpWindowsTest, AboutAndLicenceRedrawTheFrameEachTimeTheyClose) {
  FakeMainWindow w;
  w.state.areaTopLeft = {10, 10};
  w.state.areaBottomRight = {50, 40};
  w.state.cycles = 2;
  w.state.itemCount = 1;
  StartPlayback(w.state, w.controls);
  for (int i = 0; i < 2; ++i) {
    AboutMenuClick(w.state, w.controls);
    LicenseMenuClick(w.state, w.controls);
  }
  EXPECT_EQ(w.log.Count("ShowModal About"), 2);
  EXPECT_EQ(w.log.Count("ShowModal License"), 2);
  ASSERT_EQ(w.surface.frames.size(), 12u) << "three rectangles after every close";
  EXPECT_EQ(w.surface.frames[0].rect, (Rect{10, 10, 50, 40}));
  EXPECT_LT(w.log.IndexOf("ShowModal About"), w.log.IndexOf("FrameRect"));
  EXPECT_TRUE(w.timer2.Enabled()) << "a playing session is not paused";
}

}  // namespace
}  // namespace kelvane
