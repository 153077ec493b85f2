#pragma once
// The real FluidSynth player on the manual clock, with the user-interface
// thread's queue played by a vector: the test renders, then runs what the
// player posted, as the event loop would between two audio periods.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "sound/fluid_player.h"
#include "tests/fakes/sound_analysis.h"

namespace kelvane::testing {

struct PostedCalls {
  std::vector<std::function<void()>> calls;
  std::function<void(std::function<void()>)> Poster() {
    return [this](std::function<void()> call) { calls.push_back(std::move(call)); };
  }
  int RunAll() {
    auto batch = std::move(calls);
    calls.clear();
    for (auto& call : batch) call();
    return static_cast<int>(batch.size());
  }
};

// Levels, timbres and tails differ from one General MIDI SoundFont to the
// next; tests that measure sound play the small font the program depends on,
// whatever the system's default is, so their verdicts do not change with it.
inline std::string TestSoundFont() {
  const std::string small = "/usr/share/sounds/sf2/TimGM6mb.sf2";
  return std::filesystem::exists(small) ? small : std::string();
}

class ManualFluidPlayer {
 public:
  ManualFluidPlayer()
      : player(FluidPlayerOptions{AudioOutput::ManualClock, TestSoundFont(), kSampleRate, posted.Poster()}) {
    player.SetOnNotify([this] {
      notifications.push_back(seconds);
      if (onNotify) onNotify();
    });
  }

  // Renders in 10 ms steps, running the posted calls after each step; the
  // stereo samples are kept in left and right.
  void Run(double duration) {
    const int steps = static_cast<int>(std::lround(duration * 100));
    for (int i = 0; i < steps; ++i) {
      player.Advance(kSampleRate / 100, &left, &right);
      seconds += 0.01;
      posted.RunAll();
    }
  }
  // Renders without running the posted calls, which stay queued.
  void RenderOnly(double duration) {
    player.Advance(Frames(duration), &left, &right);
    seconds += duration;
  }

  PostedCalls posted;  // before the player, which posts into it
  FluidPlayer player;
  std::vector<float> left, right;
  double seconds = 0;                 // rendered so far
  std::vector<double> notifications;  // the times OnNotify ran
  std::function<void()> onNotify;
};

inline void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace kelvane::testing
