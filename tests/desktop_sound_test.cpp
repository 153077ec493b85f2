// The real player through a real sound server: a private PulseAudio server
// with a null sink, its monitor recorded with parec. What reaches the server
// is the patched row's melody, in order, from a stream the mixer shows as
// Kelvane, and the stream is gone once the play has ended and its sound has
// died away. A server that never answers costs the session its sound, not
// its time.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sound/midi_templates.h"
#include "sound/note_keys.h"
#include "sound/sequence_patch.h"
#include "tests/fakes/call_queue.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/manual_fluid_player.h"
#include "tests/fakes/private_pulse.h"
#include "tests/fakes/temp_data_home.h"

namespace kelvane::testing {
namespace {

TEST(DesktopSoundTest, ThePatchedRowIsHeardInOrderAndTheStreamClosesAfterIt) {
  if (!HavePulseTools()) GTEST_SKIP() << "pulseaudio, pactl and parec are needed (packages pulseaudio, pulseaudio-utils)";
  TempDataHome home;
  PrivatePulseServer server;
  const std::array<int, 13> codes{5, 1, 13, 7, 2, 9, 3, 12, 4, 11, 6, 10, 8};
  const auto path = home.AudioDirectory() / "SEQ_1X.MID";
  WriteFile(path, SequenceTemplate(1));
  SessionState s;
  s.itemCount = 1;
  s.sequenceFileName = "SEQ_1X.MID";
  for (int j = 0; j < 13; ++j) s.NoteGrid[1][j] = codes[j];
  Recorder log;
  FakeShell shell(log);
  PatchSequenceNotes(s, shell);

  CallQueue queue;
  FluidPlayer player({AudioOutput::Device, TestSoundFont(), kSampleRate, queue.Poster()});
  int ends = 0;
  player.SetOnNotify([&] { ++ends; });
  MonitorRecording recording(server, home.AudioDirectory() / "monitor.raw");
  queue.RunFor(0.5);
  player.SetFileName(path.string());
  player.Open();
  player.SetNotify(true);
  player.Play();
  queue.RunFor(2, [&] { return player.OutputName() != "none"; });
  EXPECT_EQ(player.OutputName(), "PulseAudio");
  const std::string stream = server.SinkInputProperties();
  EXPECT_THAT(stream, ::testing::HasSubstr("media.name = \"Kelvane\""));
  EXPECT_THAT(stream, ::testing::HasSubstr("application.name = \"Kelvane\""));
  EXPECT_THAT(stream, ::testing::HasSubstr("application.icon_name = \"kelvane\""));
  // A null sink starts a new stream late (it cannot rewind what it has
  // queued), so the 4 s play takes longer here than on a sound card.
  queue.RunFor(10, [&] { return ends > 0; });
  ASSERT_EQ(ends, 1);
  queue.RunFor(2.5);
  EXPECT_FALSE(player.OutputRunning());
  EXPECT_EQ(server.SinkInputs(), "") << "the stream stays open after the sound has ended";
  const std::vector<float> heard = recording.Stop();

  const auto onset = std::find_if(heard.begin(), heard.end(), [](float x) { return std::fabs(x) > 0.01f; });
  ASSERT_NE(onset, heard.end()) << "nothing reached the server";
  const std::vector<float> play(onset, heard.end());
  for (int j = 0; j < 13; ++j) {
    const double at = j * 0.285;  // template notes start 114 ticks apart
    const double key = PitchKey(Slice(play, at + 0.03, at + 0.23), j ? Slice(play, at - 0.2, at) : std::vector<float>{});
    EXPECT_NEAR(key, NoteKeyTable[static_cast<std::size_t>(codes[j])], 0.3) << "note " << j;
  }
}

// The server takes the connection into its queue and never answers: Play
// returns at once, the play runs its 4 s on the silent clock, and standard
// error says why once, however often the output opens again.
TEST(DesktopSoundTest, AServerThatNeverAnswersLeavesThePlayOnTheSilentClock) {
  if (!HavePulseTools()) GTEST_SKIP() << "pulseaudio and pactl are needed (packages pulseaudio, pulseaudio-utils)";
  TempDataHome home;
  PrivatePulseServer server;
  const auto path = home.AudioDirectory() / "SEQ_1X.MID";
  WriteFile(path, SequenceTemplate(1));
  CallQueue queue;
  FluidPlayer player({AudioOutput::Device, TestSoundFont(), kSampleRate, queue.Poster()});
  int ends = 0;
  player.SetOnNotify([&] { ++ends; });
  player.SetFileName(path.string());
  player.Open();
  server.Freeze(true);
  ::testing::internal::CaptureStderr();
  player.SetNotify(true);
  player.Play();
  queue.RunFor(10, [&] { return ends > 0; });
  player.Beep();
  queue.RunFor(0.5);
  const std::string said = ::testing::internal::GetCapturedStderr();
  server.Freeze(false);
  EXPECT_EQ(ends, 1) << "the play did not end on the silent clock";
  EXPECT_EQ(player.OutputName(), "silent clock");
  EXPECT_THAT(said, ::testing::HasSubstr("PulseAudio: the server did not answer within 2 s"));
  EXPECT_EQ(said.find("no sound device"), said.rfind("no sound device")) << said;
}

}  // namespace
}  // namespace kelvane::testing
