// ambrel check and ambrel render on the command line, their files read back
// with the libraries that wrote them: length, rate, the notes at their
// pitches, the frame's colour in every pixel, and the verdicts; what cannot
// be written refused at once, and an interrupted render or check.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "session/ambrel_json.h"
#include "sound/note_keys.h"
#include "tests/fakes/media_readback.h"
#include "tests/fakes/sound_analysis.h"

namespace kelvane::testing {
namespace {

namespace fs = std::filesystem;

extern "C" char** environ;

// One row, one cycle: 4 s and the beep's second. A 300 x 240 area at 40, 20.
constexpr char kSession[] = R"({"SessionName": "Render", "ColorR": 255, "ColorG": 96, "ColorB": 0,
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
  // Starts ambrel with its own temporary directory, standard error to a
  // file, and the three signals at their defaults, as from a terminal.
  pid_t Start(const std::vector<std::string>& args, const fs::path& temporary) {
    std::vector<std::string> env{"TMPDIR=" + temporary.string(), "XDG_DATA_HOME=" + (dir / "home").string()};
    for (char** e = environ; *e; ++e)
      if (std::string(*e).rfind("TMPDIR=", 0) != 0 && std::string(*e).rfind("XDG_DATA_HOME=", 0) != 0) env.push_back(*e);
    std::vector<std::string> argv{AMBREL_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    const auto pointers = [](std::vector<std::string>& v) {
      std::vector<char*> p;
      for (std::string& x : v) p.push_back(x.data());
      p.push_back(nullptr);
      return p;
    };
    std::vector<char*> argp = pointers(argv), envp = pointers(env);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDERR_FILENO, (dir / "err.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&defaults, signal);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    EXPECT_EQ(posix_spawn(&pid, AMBREL_EXE, &files, &attributes, argp.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attributes);
    return pid;
  }
  fs::path dir = fs::temp_directory_path() / ("kelvane-ambrel-render-" + std::to_string(::getpid()));
};

// Whether an entry whose name starts with `prefix` is in the directory, or
// appears in it within five seconds.
bool Appears(const fs::path& directory, const std::string& prefix) {
  for (int i = 0; i < 5000; ++i) {
    for (const auto& entry : fs::directory_iterator(directory))
      if (entry.path().filename().string().rfind(prefix, 0) == 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

std::vector<std::string> Names(const fs::path& directory) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

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
  // One play of one row, 4 s and the 48 samples to FluidSynth's next 64-sample
  // step after its end, and the beep's second.
  EXPECT_EQ(sound.frames, 176448 + kSampleRate);
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

  // The frame's three rings all around in the session's colour, and the
  // black inside them before the tunnel's first tick, each pixel within the
  // two levels the video's colour conversion rounds.
  const Picture& first = video.firstPictures.at(0);
  int worstFrame = 0, worstInside = 0;
  for (int y = 0; y < first.height; ++y)
    for (int x = 0; x < first.width; ++x) {
      const Rgb c = first.At(x, y);
      const int ring = std::min({x, y, first.width - 1 - x, first.height - 1 - y});
      if (ring < 3) worstFrame = std::max({worstFrame, std::abs(c.r - 255), std::abs(c.g - 96), c.b});
      else worstInside = std::max({worstInside, c.r, c.g, c.b});
    }
  EXPECT_LE(worstFrame, 2);
  EXPECT_LE(worstInside, 2);
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
  // Refused before rendering: seven hours of sound would fill a WAV file's
  // 4 GB only after minutes of work.
  std::string longer = kSession;
  longer.replace(longer.find("\"Cycles\": 1"), 11, "\"Cycles\": 7000");
  EXPECT_EQ(Run("render --seconds 25200 " + Write(longer.c_str(), "long.db") + " " + (dir / "long.wav").string(), out), 2);
  EXPECT_NE(out.find("use .flac"), std::string::npos) << out;
  EXPECT_FALSE(fs::exists(dir / "long.wav"));
}

// Ctrl-C, SIGTERM or SIGHUP in the middle of a long render, or of a check:
// the program says so, ends with 128 and the signal's number, and leaves
// neither the unfinished file beside its target nor its temporary templates.
TEST_F(AmbrelRenderTest, AnInterruptedRenderOrCheckLeavesNothingBehind) {
  std::string longer = kSession;
  longer.replace(longer.find("\"Cycles\": 1"), 11, "\"Cycles\": 3000");
  const std::string session = Write(longer.c_str());
  const fs::path out = dir / "out", temporary = dir / "tmp";
  fs::create_directories(out);
  fs::create_directories(temporary);
  struct Case {
    std::vector<std::string> args;
    int signal;
    fs::path watched;    // where the work shows that it has started
    std::string prefix;  // by a name starting so
  };
  const std::string webm = (out / "session.webm").string();
  for (const Case& c : {Case{{"render", session, webm}, SIGINT, out, ".session.webm."},
                        Case{{"render", session, webm}, SIGTERM, out, ".session.webm."},
                        Case{{"render", session, webm}, SIGHUP, out, ".session.webm."},
                        Case{{"check", session, "--seconds", "12000"}, SIGTERM, temporary, "kelvane-render-"}}) {
    SCOPED_TRACE(c.args[0] + " and signal " + std::to_string(c.signal));
    const pid_t pid = Start(c.args, temporary);
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(Appears(c.watched, c.prefix)) << "the work never started";
    kill(pid, c.signal);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal itself";
    EXPECT_EQ(WEXITSTATUS(status), 128 + c.signal);
    std::ifstream err(dir / "err.txt");
    const std::string said((std::istreambuf_iterator<char>(err)), std::istreambuf_iterator<char>());
    EXPECT_NE(said.find("interrupted by SIG"), std::string::npos) << said;
    EXPECT_TRUE(Names(out).empty()) << Names(out).front();
    EXPECT_TRUE(Names(temporary).empty()) << Names(temporary).front();
  }
}

}  // namespace
}  // namespace kelvane::testing
