// The headless renderer plays a session as the window would: its length and
// picture count, the frame in the session's colour, the tunnel inside, the
// melody and the end beep in the sound, and the user's data left alone.

#include <gtest/gtest.h>

#include <filesystem>

#include "render/session_renderer.h"
#include "render/tunnel_pictures.h"
#include "session/ambrel_json.h"
#include "sound/note_keys.h"
#include "tests/fakes/manual_fluid_player.h"
#include "tests/fakes/temp_data_home.h"

namespace kelvane::testing {
namespace {

namespace fs = std::filesystem;

// One play of a one-row template: 4 s, and 48 samples more, since FluidSynth
// ends a play at the start of one of its 64-sample steps and the next play
// starts one step later.
constexpr std::int64_t kOneRowPlay = 176448;

constexpr char kSession[] = R"({"SessionName": "Test", "ColorR": 200, "ColorG": 30, "ColorB": 60,
  "Density": 2, "Form": 1, "Cycles": 2, "AreaX1": 20, "AreaY1": 10, "AreaX2": 120, "AreaY2": 90,
  "Rows": [[5, 1, 13, 7, 2, 9, 3, 12, 4, 11, 6, 10, 8]]})";

struct Recording : RenderSink {
  void Sound(const float* l, const float*, int frames) override { left.insert(left.end(), l, l + frames); }
  void Picture(const Frame& f) override {
    ++pictures;
    width = f.width, height = f.height;
    if (pictures == 1 || pictures == 120) {
      std::vector<std::uint32_t>& keep = pictures == 1 ? first : later;
      for (int y = 0; y < f.height; ++y) keep.insert(keep.end(), f.pixels + y * f.stride, f.pixels + y * f.stride + f.width);
    }
  }
  std::vector<float> left;
  std::vector<std::uint32_t> first, later;
  int pictures = 0, width = 0, height = 0;
};

class SessionRendererTest : public ::testing::Test {
 protected:
  std::string Write(const char* json) {
    const std::string path = (dir / "session.db").string();
    const AmbrelTable t = AmbrelFromJson(json);
    WritePxlibTable(path, t.columns, {t.row});
    return path;
  }
  TempDataHome home;  // the user's data directory, which must stay untouched
  fs::path dir = fs::temp_directory_path() / ("kelvane-render-test-" + std::to_string(::getpid()));
  void SetUp() override { fs::create_directories(dir); }
  void TearDown() override { fs::remove_all(dir); }
};

TEST_F(SessionRendererTest, PlaysTwoCyclesAndTheBeepAsTheWindowWould) {
  RenderOptions options;
  options.soundFont = TestSoundFont();
  HeadlessSession session(Write(kSession), options);
  EXPECT_EQ(session.SoundFrames(), 2 * kOneRowPlay + HeadlessSession::kSampleRate);
  EXPECT_EQ(session.PictureCount(), 540);
  Recording r;
  session.Run(r);
  EXPECT_EQ(static_cast<std::int64_t>(r.left.size()), session.SoundFrames());
  EXPECT_EQ(r.pictures, 540);
  ASSERT_EQ(r.width, 104);  // 100 x 80 and the frame's two outer rings
  ASSERT_EQ(r.height, 84);

  // The frame in the session's colour along the edge; inside, black before
  // the first tick and the tunnel two seconds on.
  const std::uint32_t frame = 0xFFC81E3C;
  for (int x = 0; x < r.width; x += 7) EXPECT_EQ(r.first[static_cast<std::size_t>(x)], frame) << x;
  for (int y = 0; y < r.height; y += 7) EXPECT_EQ(r.first[static_cast<std::size_t>(y * r.width)], frame) << y;
  const auto lit = [&](const std::vector<std::uint32_t>& p) {
    return std::count_if(p.begin(), p.end(), [](std::uint32_t c) { return (c & 0xFFFFFF) != 0 && c != 0xFFC81E3C; });
  };
  EXPECT_EQ(lit(r.first), 0);
  EXPECT_GT(lit(r.later), r.width * r.height / 4);

  // Both cycles play the row; the end beep, an A5, follows the second.
  const std::array<int, 13> codes{5, 1, 13, 7, 2, 9, 3, 12, 4, 11, 6, 10, 8};
  for (double start : {0.0, 4.0})
    for (int j : {0, 2, 12})
      EXPECT_NEAR(PitchKey(Slice(r.left, start + j * 0.285 + 0.03, start + j * 0.285 + 0.23)),
                  NoteKeyTable[static_cast<std::size_t>(codes[static_cast<std::size_t>(j)])], 0.3)
          << "cycle at " << start << " s, note " << j;
  EXPECT_NEAR(PitchKey(Slice(r.left, 8.03, 8.15)), 81, 0.3);

  // A sound file of the session holds the very samples of its video: the
  // tunnel's ticks and the pictures cut the sound into other blocks.
  options.pictures = false;
  Recording alone;
  HeadlessSession(Write(kSession), options).Run(alone);
  EXPECT_EQ(alone.pictures, 0);
  EXPECT_TRUE(alone.left == r.left) << "the sound of the video differs from the sound alone";
  EXPECT_FALSE(fs::exists(fs::path(std::getenv("XDG_DATA_HOME")) / "Kelvane")) << "wrote into the user's data";
}

// A cycle that starts late makes every later one later: the render must
// restart each play one step after the step in which the last one ended,
// and end with the whole end beep however many cycles came before.
TEST_F(SessionRendererTest, EveryCycleStartsWhereTheLastEndedAndTheBeepIsWhole) {
  std::string json = kSession;
  json.replace(json.find("\"Cycles\": 2"), 11, "\"Cycles\": 5");
  RenderOptions options;
  options.soundFont = TestSoundFont();
  options.pictures = false;
  HeadlessSession session(Write(json.c_str()), options);
  const std::int64_t length = 5 * kOneRowPlay + HeadlessSession::kSampleRate;
  EXPECT_EQ(session.SoundFrames(), length);
  Recording r;
  session.Run(r);
  ASSERT_EQ(static_cast<std::int64_t>(r.left.size()), length);

  // The first note's attack, found the same number of samples into every
  // cycle (the first one has no reverberation from an earlier one under it).
  const auto onset = [&](std::int64_t from) {
    for (auto i = static_cast<std::size_t>(from); i < r.left.size(); ++i)
      if (std::fabs(r.left[i]) > 0.02f) return static_cast<std::int64_t>(i) - from;
    return std::int64_t{-1};
  };
  const std::int64_t attack = onset(kOneRowPlay);
  ASSERT_GT(attack, 0);
  EXPECT_NEAR(static_cast<double>(onset(0)), static_cast<double>(attack), 1);
  for (int cycle = 2; cycle < 5; ++cycle) EXPECT_EQ(onset(cycle * kOneRowPlay), attack) << "cycle " << cycle + 1;

  // The end beep starts where the fifth play ends, out of the rest after its
  // last note, and has died away before the file ends.
  const std::int64_t beep = 5 * kOneRowPlay;
  const std::int64_t beepAttack = onset(beep - kSampleRate / 5) - kSampleRate / 5;
  EXPECT_GE(beepAttack, 0);
  EXPECT_LT(beepAttack, 64);
  const double at = static_cast<double>(beep) / kSampleRate;
  EXPECT_NEAR(PitchKey(Slice(r.left, at + 0.03, at + 0.15)), 81, 0.3);
  EXPECT_LT(Rms(Slice(r.left, at + 0.9, at + 1.0)), 1e-4);
}

TEST_F(SessionRendererTest, ShortenedRendersAndRefusals) {
  RenderOptions options;
  options.soundFont = TestSoundFont();
  options.cycles = 1;
  EXPECT_EQ(HeadlessSession(Write(kSession), options).SoundFrames(), kOneRowPlay) << "no beep: the session goes on";
  options.cycles.reset();
  options.seconds = 2.5;
  options.fps = 30;
  EXPECT_EQ(HeadlessSession(Write(kSession), options).PictureCount(), 75);

  std::string endless = kSession;
  endless.replace(endless.find("\"Cycles\": 2"), 11, "\"Cycles\": 2147483647");
  EXPECT_THROW(HeadlessSession(Write(endless.c_str()), RenderOptions{}), std::runtime_error);
  std::string other = kSession;
  other.insert(1, "\"FileType\": \"ambr\", ");
  try {
    HeadlessSession session(Write(other.c_str()), RenderOptions{});
    ADD_FAILURE() << "a table that is not an Ambrel was rendered";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("is not an Ambrel session"), std::string::npos) << e.what();
  }
}

// Every picture of a whole run, row after row.
struct AllPictures : RenderSink {
  void Sound(const float*, const float*, int) override {}
  void Picture(const Frame& f) override { Add(f); }
  void Add(const Frame& f) {
    for (int y = 0; y < f.height; ++y) pixels.insert(pixels.end(), f.pixels + y * f.stride, f.pixels + y * f.stride + f.width);
  }
  std::vector<std::uint32_t> pixels;
};

TEST_F(SessionRendererTest, TheFlashChecksPicturesAreTheRenderersAtEveryRateAndPulse) {
  const char* reversed = R"({"ColorR": 250, "PulseFreq": 1600, "PulsePhase": 1, "GeoVertical": 150, "Density": 3,
    "Form": 2, "Cycles": 1, "AreaX1": 5, "AreaY1": 8, "AreaX2": 140, "AreaY2": 100,
    "Rows": [[1, 4, 9, 4, 1, 4, 9, 11, 9, 4, 1, 0, 1], [13, 11, 9, 7, 5, 4, 3, 1, 3, 4, 5, 7, 1]]})";
  const std::string backwardPath = (dir / "reversed.db").string();
  fs::rename(Write(reversed), backwardPath);
  const std::string forwardPath = Write(kSession);
  const ShowingWay ways[] = {{1000, {}}, {64, {170, true, 170, 0.013}}, {30, {240, false, 240, 0.05}},
                             {437.5, {100, true, 100, 0.031}}};
  for (const std::string& path : {forwardPath, backwardPath})
    for (const ShowingWay& way : ways) {
      RenderOptions options;
      options.soundFont = TestSoundFont();
      options.seconds = 2.5;
      options.tickRate = way.tickRate;
      options.pulse = way.pulse;
      HeadlessSession session(path, options);
      const OpenedSession opened = session.Opened();
      AllPictures rendered, composed;
      session.Run(rendered);
      TunnelPictures pictures(opened, way, options.fps);
      for (Frame f; pictures.Next(f);) composed.Add(f);
      ASSERT_EQ(composed.pixels.size(), rendered.pixels.size()) << path << " at " << way.tickRate;
      EXPECT_TRUE(composed.pixels == rendered.pixels) << path << " at " << way.tickRate;
    }
}

}  // namespace
}  // namespace kelvane::testing
