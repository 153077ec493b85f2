// The desktop's ways into the player, on the fakes: a file already chosen
// takes the dialog's steps, and the media keys click Pause/RESUME and Stop.

#include <gtest/gtest.h>

#include "commands/remote_control.h"
#include "session/session_loader.h"
#include "sound/midi_templates.h"
#include "tests/fakes/fake_main_window.h"
#include "tests/fakes/temp_data_home.h"

namespace kelvane {
namespace {

using testing::FakeMainWindow;

constexpr char kPath[] = "/home/user/Sessions/blue.db";

class RemoteControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteMissingTemplates(home.AudioDirectory().string());
    w.table.columns = testing::AmbrelRecord();
  }
  // The calls the command makes, and nothing before them.
  std::vector<std::string> Run(void (*command)(SessionState&, MainControls&)) {
    w.log.Clear();
    command(w.state, w.controls);
    return w.log.calls;
  }
  PlaybackStatus Status() const { return CurrentPlaybackStatus(w.player); }

  testing::TempDataHome home;
  FakeMainWindow w;
};

TEST_F(RemoteControlTest, AChosenFileOpensWithEveryStepOfTheDialogButTheDialog) {
  FakeMainWindow viaDialog;
  viaDialog.table.columns = testing::AmbrelRecord();
  viaDialog.dialog.choice = kPath;
  OpenAmbrelMenuClick(viaDialog.state, viaDialog.controls);
  std::erase(viaDialog.log.calls, "Execute");

  OpenChosenFile(w.state, w.controls, kPath);

  EXPECT_EQ(w.log.calls, viaDialog.log.calls);
  EXPECT_EQ(w.table.name, kPath);
  EXPECT_EQ(w.shell.panels[0], "blue.db");
  EXPECT_EQ(Status(), PlaybackStatus::Playing);
  EXPECT_EQ(SessionMicroseconds(w.state), 4 * 4'000'000) << "4 cycles of one row";
}

TEST_F(RemoteControlTest, MediaKeysClickPauseResumeAndStopOnlyWhereTheyActOnSomething) {
  for (auto command : {RemotePlay, RemotePause, RemotePlayPause, RemoteStop})
    EXPECT_EQ(Run(command), std::vector<std::string>{}) << "nothing is open";
  OpenChosenFile(w.state, w.controls, kPath);

  EXPECT_EQ(Run(RemotePlay), std::vector<std::string>{}) << "already playing";
  EXPECT_EQ(Run(RemotePause), (std::vector<std::string>{"Timer2 off", "Pause", "PauseCaption RESUME"}));
  EXPECT_EQ(Status(), PlaybackStatus::Paused);
  EXPECT_EQ(Run(RemotePause), std::vector<std::string>{});
  EXPECT_EQ(Run(RemotePlayPause), (std::vector<std::string>{"Timer2 on", "Play", "PauseCaption Pause"}));
  EXPECT_EQ(Status(), PlaybackStatus::Playing);
  Run(RemoteStop);
  EXPECT_EQ(Status(), PlaybackStatus::Stopped);
  EXPECT_EQ(w.shell.panels[1], "Current Cycle:  0");
  EXPECT_EQ(Run(RemoteStop), std::vector<std::string>{});
  // From Stopped the menu plays again with two clicks: Pause, then RESUME.
  EXPECT_EQ(Run(RemotePlayPause), (std::vector<std::string>{"Timer2 off", "Pause", "PauseCaption RESUME", "Timer2 on",
                                                             "Play", "PauseCaption Pause"}));
  EXPECT_EQ(Status(), PlaybackStatus::Playing);
  EXPECT_FALSE(w.state.paused);
}

}  // namespace
}  // namespace kelvane
