// The exporters' files read back with the libraries that wrote them: the
// length and rate of each format, the pitch in each half of a two-note
// sound, and in videos the colour of every pixel.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "render/export.h"
#include "state/temporary_directory.h"
#include "tests/fakes/media_readback.h"

namespace kelvane {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using testing::Rgb;
using ::testing::ThrowsMessage;

namespace fs = std::filesystem;

constexpr int kRate = 44100;
// 76 pictures at 30 a second, 152 at 60: a length that fills no whole
// number of AAC or Opus frames, so that each file ends on a partial one.
constexpr int kSoundFrames = 111720;
constexpr double kSeconds = double{kSoundFrames} / kRate;
// Odd on both sides: a picture that 4:2:0 chroma would have to pad.
constexpr int kWidth = 605, kHeight = 455;
constexpr std::uint32_t kBlack = 0xFF000000, kRed = 0xFFFF0000;
// A patch in the middle flashes from picture to picture.
constexpr std::array<std::uint32_t, 3> kInside = {0xFFFFFFFF, 0xFF1E3CDC, 0xFF28C850};
// Lines one pixel wide, in pure red on black.
constexpr int kRedColumn = 101, kRedRow = 77;

class ScratchDirectory {
 public:
  ~ScratchDirectory() {
    std::error_code ignored;
    fs::permissions(root_ / "locked", fs::perms::owner_all, ignored);
  }
  std::string operator/(const std::string& name) const { return (root_ / name).string(); }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(root_)) names.push_back(entry.path().filename().string());
    return names;
  }

 private:
  TemporaryDirectory temporary_{"kelvane-export"};
  fs::path root_ = temporary_.Path();
};

// 440 Hz for the first half, 660 Hz for the second; the right channel
// quieter than the left, so that a swap shows.
float Tone(int i, float amplitude) {
  const double hz = i < kSoundFrames / 2 ? 440 : 660;
  return static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * hz * i / kRate));
}

bool InPatch(int x, int y) { return x >= kWidth / 4 && x < 3 * kWidth / 4 && y >= kHeight / 4 && y < 3 * kHeight / 4; }
bool OnRedLine(int x, int y) {
  return (x == kRedColumn && y >= 20 && y < kHeight - 20) || (y == kRedRow && x >= 20 && x < kWidth - 20);
}

// As the tunnel shows before it starts and around it: the stimulus area's
// three-pixel frame in a saturated colour, black inside it.
std::vector<std::uint32_t> Pixels(int index, std::uint32_t frame) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(kWidth) * kHeight, frame);
  for (int y = 3; y < kHeight - 3; ++y)
    for (int x = 3; x < kWidth - 3; ++x) {
      const bool bar = y >= kHeight / 4 + 10 && y < kHeight / 4 + 50 && (x - 7 * index + 6000) % 120 < 30;  // moves
      std::uint32_t& pixel = pixels[static_cast<std::size_t>(y) * kWidth + static_cast<std::size_t>(x)];
      pixel = InPatch(x, y) && !bar ? kInside[static_cast<std::size_t>(index) % kInside.size()]
              : OnRedLine(x, y)    ? kRed
                                   : kBlack;
    }
  return pixels;
}

// As the renderer does: sound in blocks of changing, awkward sizes, and
// each picture once the sound has reached its time.
void Feed(Exporter& exporter, int fps, double seconds = kSeconds, std::uint32_t frame = 0xFFC82828) {
  const int soundFrames = static_cast<int>(std::lround(seconds * kRate));
  const int pictures = exporter.WantsFrames() ? static_cast<int>(std::lround(seconds * fps)) : 0;
  constexpr std::array<int, 5> kBlocks = {1, 4096, 517, 1000, 33};
  std::vector<float> left, right;
  int done = 0, shown = 0;
  for (std::size_t block = 0; done < soundFrames || shown < pictures; ++block) {
    for (; shown < pictures && static_cast<long>(shown) * kRate <= static_cast<long>(done) * fps; ++shown) {
      const std::vector<std::uint32_t> pixels = Pixels(shown, frame);
      exporter.AddFrame(Frame{pixels.data(), kWidth, kHeight, kWidth});
    }
    const int n = std::min(kBlocks[block % kBlocks.size()], soundFrames - done);
    left.resize(static_cast<std::size_t>(n)), right.resize(static_cast<std::size_t>(n));
    for (std::size_t i = 0; i < left.size(); ++i) {
      left[i] = Tone(done + static_cast<int>(i), 0.8f);
      right[i] = Tone(done + static_cast<int>(i), 0.4f);
    }
    if (n > 0) exporter.AddAudio(left.data(), right.data(), n);
    done += n;
  }
}

void Export(const std::string& path, int fps, std::uint32_t frame = 0xFFC82828) {
  ExportSettings settings;
  settings.width = kWidth, settings.height = kHeight, settings.fps = fps;
  std::unique_ptr<Exporter> exporter = OpenExporter(path, settings);
  Feed(*exporter, fps, kSeconds, frame);
  exporter->Finish();
}

// Upward zero crossings a second between `from` and `to` seconds.
double PitchHz(const std::vector<float>& mono, int rate, double from, double to) {
  const auto begin = static_cast<std::size_t>(from * rate), end = static_cast<std::size_t>(to * rate);
  int crossings = 0;
  for (std::size_t i = begin + 1; i < end && i < mono.size(); ++i) crossings += mono[i - 1] < 0 && mono[i] >= 0;
  return crossings / (to - from);
}

void ExpectTwoNotes(const std::vector<float>& mono, int rate) {
  EXPECT_NEAR(PitchHz(mono, rate, 0.1, 1.1), 440, 4.4);
  EXPECT_NEAR(PitchHz(mono, rate, 1.4, 2.4), 660, 6.6);
}

int Error(Rgb got, std::uint32_t want) {
  const int r = (want >> 16) & 0xFF, g = (want >> 8) & 0xFF, b = want & 0xFF;
  return std::max({std::abs(got.r - r), std::abs(got.g - g), std::abs(got.b - b)});
}

// The farthest any pixel of the decoded picture is from the one given, in
// levels of the worst channel.
int WorstError(const testing::Picture& picture, const std::vector<std::uint32_t>& given) {
  int worst = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      worst = std::max(worst, Error(picture.At(x, y), given[static_cast<std::size_t>(y) * kWidth + static_cast<std::size_t>(x)]));
  return worst;
}

TEST(SoundFileExport, WavAndFlacKeepEverySampleAtItsRate) {
  ScratchDirectory dir;
  for (const std::string name : {"session.wav", "SESSION.FLAC"}) {
    SCOPED_TRACE(name);
    Export(dir / name, 60);
    const testing::SoundFileContents sound = testing::ReadSoundFile(dir / name);
    EXPECT_EQ(sound.rate, kRate);
    ASSERT_EQ(sound.channels, 2);
    ASSERT_EQ(sound.frames, kSoundFrames);
    // 16 bits: within a few steps of 1/32768 of what was given.
    int wrong = 0;
    std::vector<float> mono;
    for (int i = 0; i < kSoundFrames; ++i) {
      const float l = sound.samples[2 * static_cast<std::size_t>(i)];
      const float r = sound.samples[2 * static_cast<std::size_t>(i) + 1];
      wrong += std::abs(l - Tone(i, 0.8f)) > 1e-4f || std::abs(r - Tone(i, 0.4f)) > 1e-4f;
      mono.push_back((l + r) / 2);
    }
    EXPECT_EQ(wrong, 0);
    ExpectTwoNotes(mono, kRate);
  }
  EXPECT_THAT(dir.Names(), ::testing::UnorderedElementsAre("session.wav", "SESSION.FLAC"));
}

TEST(VideoFileExport, Mp4AndWebMKeepLengthSoundAndEveryPixelsColour) {
  struct Case {
    std::string name;
    int fps;
    std::uint32_t frame;
    std::string videoCodec, audioCodec;
    int audioRate, codecFrame;
  };
  ScratchDirectory dir;
  for (const Case& c : {Case{"session.mp4", 60, 0xFF2878FF, "h264", "aac", 44100, 1024},
                        Case{"Session.WebM", 30, 0xFFFF6000, "vp9", "opus", 48000, 960}}) {
    SCOPED_TRACE(c.name);
    Export(dir / c.name, c.fps, c.frame);
    const testing::VideoFileContents video = testing::ReadVideoFile(dir / c.name, 3);
    EXPECT_EQ(video.videoCodec, c.videoCodec);
    EXPECT_EQ(video.audioCodec, c.audioCodec);
    // WebM starts its span at the audio encoder's priming, 6.5 ms before
    // anything is heard or seen; both end with the last picture.
    EXPECT_NEAR(video.start + video.duration, kSeconds, 0.001);
    EXPECT_NEAR(video.videoStart, 0, 1e-6);
    EXPECT_NEAR(video.audioStart, 0, 0.001);  // in step with the pictures
    EXPECT_NEAR(video.fps, c.fps, 1e-6);
    EXPECT_EQ(video.videoFrames, std::lround(kSeconds * c.fps));
    EXPECT_EQ(video.width, kWidth);  // nothing padded
    EXPECT_EQ(video.height, kHeight);
    EXPECT_EQ(video.audioRate, c.audioRate);
    // Every sample given, and no more padding than the last codec frame's.
    const auto heard = static_cast<double>(video.audio.size());
    EXPECT_GE(heard, std::round(kSeconds * c.audioRate));
    EXPECT_LT(heard, std::round(kSeconds * c.audioRate) + c.codecFrame);
    ExpectTwoNotes(video.audio, c.audioRate);
    // Every pixel as given, within the level or two that the conversion to
    // YUV and back rounds: the frame's three rings in a saturated colour,
    // the black inside them, the lines one pixel wide in red.
    ASSERT_EQ(video.firstPictures.size(), 3u);
    for (int i = 0; i < 3; ++i)
      EXPECT_LE(WorstError(video.firstPictures[static_cast<std::size_t>(i)], Pixels(i, c.frame)), 2) << "picture " << i;
  }
}

TEST(Export, RefusesBadPathsAndNeverLeavesAHalfWrittenFile) {
  EXPECT_EQ(ExportKindOf("a.b/Session.WaV"), ExportKind::Wav);
  EXPECT_EQ(ExportKindOf("session.flac"), ExportKind::Flac);
  EXPECT_EQ(ExportKindOf("SESSION.MP4"), ExportKind::Mp4);
  EXPECT_EQ(ExportKindOf("session.webm"), ExportKind::WebM);
  EXPECT_EQ(ExportKindOf("session.wav.part"), std::nullopt);
  EXPECT_EQ(ExportKindOf("wav"), std::nullopt);

  ScratchDirectory dir;
  ExportSettings settings;
  settings.width = kWidth, settings.height = kHeight;
  EXPECT_THAT([&] { OpenExporter(dir / "session.avi", settings); },
              ThrowsMessage<std::runtime_error>(
                  AllOf(HasSubstr("'.avi'"), HasSubstr(dir / "session.avi"), HasSubstr(".wav, .flac, .mp4 or .webm"))));
  EXPECT_THAT([&] { OpenExporter(dir / "missing/session.mp4", settings); },
              ThrowsMessage<std::runtime_error>(
                  HasSubstr("Cannot write " + dir / "missing/session.mp4" + ": No such file or directory")));
  fs::create_directory(dir / "locked");
  fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  if (access((dir / "locked").c_str(), W_OK) != 0) {  // root may write anywhere
    EXPECT_THAT([&] { OpenExporter(dir / "locked/session.wav", settings); },
                ThrowsMessage<std::runtime_error>(
                    HasSubstr("Cannot write " + dir / "locked/session.wav" + ": Permission denied")));
  }
  fs::remove(dir / "locked");
  fs::create_directory(dir / "folder.mp4");
  EXPECT_THAT([&] { OpenExporter(dir / "folder.mp4", settings); },
              ThrowsMessage<std::runtime_error>(HasSubstr("Cannot write " + dir / "folder.mp4" + ": it is a directory")));
  fs::remove(dir / "folder.mp4");
  // Plain WAV ends at 4 GB; FLAC takes the same length.
  ExportSettings longer = settings;
  longer.soundFrames = std::int64_t{7} * 3600 * kRate;
  EXPECT_THAT([&] { OpenExporter(dir / "long.wav", longer); },
              ThrowsMessage<std::runtime_error>(HasSubstr("a WAV file holds 6 h 45 min of sound at most; use .flac")));
  OpenExporter(dir / "long.flac", longer);

  // A file already there survives an export that never finishes.
  std::ofstream(dir / "kept.mp4") << "earlier";
  for (const std::string name : {"session.wav", "session.flac", "session.webm", "kept.mp4"}) {
    SCOPED_TRACE(name);
    std::unique_ptr<Exporter> exporter = OpenExporter(dir / name, settings);
    Feed(*exporter, 60, 0.5);
  }
  {
    std::unique_ptr<Exporter> exporter = OpenExporter(dir / "session.mp4", settings);
    const std::vector<std::uint32_t> small(16, kRed);
    EXPECT_THAT(
        [&] {
          exporter->AddFrame(Frame{small.data(), 4, 4, 4});
        },
        ThrowsMessage<std::runtime_error>(HasSubstr("a frame of 4 x 4 in a video of 605 x 455")));
  }
  EXPECT_THAT(dir.Names(), ::testing::ElementsAre("kept.mp4"));
  std::string kept;
  std::ifstream(dir / "kept.mp4") >> kept;
  EXPECT_EQ(kept, "earlier");
}

}  // namespace
}  // namespace kelvane
