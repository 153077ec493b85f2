// ambrel check and ambrel render on the command line, their files read back
// with the libraries that wrote them: length, rate, the notes at their
// pitches, the session's frame colour along the edge, and the verdicts.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "session/ambrel_json.h"
#include "sound/note_keys.h"
#include "tests/fakes/media_readback.h"
#include "tests/fakes/sound_analysis.h"

namespace kelvane::testing {
namespace {

namespace fs = std::filesystem;

// One row, one cycle: 4 s and the beep's second. A 300 x 240 area at 40, 20.
constexpr char kSession[] = R"({"SessionName": "Render", "ColorR": 255, "ColorG": 140, "ColorB": 0,
  "Density": 3, "Form": 2, "Cycles": 1, "AreaX1": 40, "AreaY1": 20, "AreaX2": 340, "AreaY2": 260,
  "Rows": [[5, 1, 13, 7, 2, 9, 3, 12, 4, 11, 6, 10, 8]]})";

class AmbrelRenderTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(dir); }
  void TearDown() override { fs::remove_all(dir); }
  std::string Write(const char* json, const char* name = "session.db") {
    const std::string path = (dir / name).string();
    const AmbrelTable t = AmbrelFromJson(json);
    WritePxlibTable(path, t.columns, {t.row});
    return path;
  }
  int Run(const std::string& args, std::string& out) {
    const std::string log = (dir / "out.txt").string();
    // The renderer's own data directory is temporary; the user's must not change.
    const std::string env = "XDG_DATA_HOME=" + (dir / "home").string() + " ";
    const int status = std::system((env + AMBREL_EXE + " " + args + " >" + log + " 2>&1").c_str());
    std::ifstream in(log);
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return WEXITSTATUS(status);
  }
  fs::path dir = fs::temp_directory_path() / ("kelvane-ambrel-render-" + std::to_string(::getpid()));
};

TEST_F(AmbrelRenderTest, SoundAndVideoHaveTheSessionsLengthNotesAndFrame) {
  const std::string session = Write(kSession);
  std::string out;
  const std::string wav = (dir / "out.wav").string(), mp4 = (dir / "out.mp4").string();
  ASSERT_EQ(Run(session + " " + wav, out), 2) << "render needs its command";
  ASSERT_EQ(Run("render " + session + " " + wav, out), 0) << out;
  ASSERT_EQ(Run("render " + session + " " + mp4, out), 0) << out;
  EXPECT_FALSE(fs::exists(dir / "home")) << "the user's data directory was written";

  const SoundFileContents sound = ReadSoundFile(wav);
  EXPECT_EQ(sound.rate, kSampleRate);
  EXPECT_EQ(sound.frames, 176448 + kSampleRate);  // one play of one row (4 s and a 64-sample step's rest) and the beep
  std::vector<float> left;
  for (std::size_t i = 0; i < sound.samples.size(); i += 2) left.push_back(sound.samples[i]);
  const VideoFileContents video = ReadVideoFile(mp4, 2);
  EXPECT_EQ(video.videoFrames, 300);
  EXPECT_EQ(video.width, 304);  // the area and the two outer rings of its frame
  EXPECT_EQ(video.height, 244);
  EXPECT_NEAR(video.duration, 5.0, 0.03);
  const std::array<int, 13> codes{5, 1, 13, 7, 2, 9, 3, 12, 4, 11, 6, 10, 8};
  const std::vector<float>* both[] = {&left, &video.audio};
  for (const std::vector<float>* heard : both)
    for (int j : {0, 1, 2, 12}) {
      const double at = j * 0.285;  // what still rings from the note before is taken away
      EXPECT_NEAR(PitchKey(Slice(*heard, at + 0.03, at + 0.23), j ? Slice(*heard, at - 0.2, at) : std::vector<float>{}),
                  NoteKeyTable[static_cast<std::size_t>(codes[static_cast<std::size_t>(j)])], 0.3)
          << "note " << j << (heard == &left ? " of the WAV" : " of the MP4");
    }
  EXPECT_NEAR(PitchKey(Slice(left, 4.03, 4.15)), 81, 0.3) << "the end beep";

  // The frame's outer ring along every edge, in the session's colour.
  const Picture& first = video.firstPictures.at(0);
  for (const auto& [x, y] : {std::pair{0, 100}, std::pair{303, 100}, std::pair{150, 0}, std::pair{150, 243}}) {
    const Rgb c = first.At(x, y);
    EXPECT_NEAR(c.r, 255, 6) << x << "," << y;
    EXPECT_NEAR(c.g, 140, 6) << x << "," << y;
    EXPECT_NEAR(c.b, 0, 6) << x << "," << y;
  }
}

TEST_F(AmbrelRenderTest, CheckSaysPassFailOrErrorByItsExitCode) {
  std::string out;
  // 10 x 10 pixels cannot fill a quarter of any field, however they flash.
  std::string small = kSession;
  small.replace(small.find("\"AreaX2\": 340, \"AreaY2\": 260"), 28, "\"AreaX2\": 50, \"AreaY2\": 30");
  EXPECT_EQ(Run("check " + Write(small.c_str(), "small.db") + " --seconds 2", out), 0) << out;
  EXPECT_EQ(Run("check " + Write(kSession) + " --seconds 3 --json", out), 1) << out;
  EXPECT_NE(out.find("\"passes\":false"), std::string::npos) << out;
  EXPECT_EQ(Run("check " + (dir / "missing.db").string(), out), 2) << out;
  EXPECT_EQ(Run("check " + Write(kSession) + " --fps 0", out), 2) << out;
  EXPECT_EQ(Run("render " + Write(kSession) + " " + (dir / "out.avi").string(), out), 2);
  EXPECT_NE(out.find("Unknown output format"), std::string::npos) << out;
  EXPECT_FALSE(fs::exists(dir / "out.avi"));
}

}  // namespace
}  // namespace kelvane::testing
