#pragma once
// Where a rendered session ends up: a sound file (WAV, FLAC) or a video
// (MP4, WebM). The renderer hands over sound and frames as it makes them;
// the file appears under its name only once it is complete.

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "render/frame.h"

namespace kelvane {

enum class ExportKind { Wav, Flac, Mp4, WebM };

// By the extension, in any letter case; nothing for any other.
std::optional<ExportKind> ExportKindOf(const std::string& path);
// The same, or a std::runtime_error that names the formats there are.
ExportKind RequireExportKind(const std::string& path);

struct ExportSettings {
  int sampleRate = 44100;  // of the sound handed over, stereo
  int width = 0;           // of the frames: videos only
  int height = 0;
  int fps = 60;
  std::int64_t soundFrames = 0;  // the length to come, when known: a WAV too long for it is refused at once
};

class Exporter {
 public:
  virtual ~Exporter() = default;  // without Finish: the partial file is removed
  virtual bool WantsFrames() const = 0;
  // Blocks of any size; the samples are already within [-1, 1].
  virtual void AddAudio(const float* left, const float* right, int frames) = 0;
  virtual void AddFrame(const Frame& frame) = 0;  // videos; sound files ignore it
  virtual void Finish() = 0;                      // flushes, closes, renames into place
};

// Throws std::runtime_error, naming the file and the reason, for an unknown
// extension, a target that is a directory, a file that cannot be created,
// or a WAV longer than the format holds.
std::unique_ptr<Exporter> OpenExporter(const std::string& path, const ExportSettings& settings);

// The error every exporter throws: "Cannot write TARGET: REASON".
std::runtime_error WriteError(const std::string& target, const std::string& reason);

// A file written under a temporary name beside its target, in the same
// directory so that the rename is atomic, and renamed over the target by
// Commit. Until then nobody sees a half-written file under the target's
// name, and destroying it removes the temporary.
class PendingFile {
 public:
  // Creates the temporary, empty; refuses a target that is a directory,
  // which the rename would fail on only once everything is written.
  explicit PendingFile(std::string target);
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  const std::string& Path() const { return path_; }  // where to write
  const std::string& Target() const { return target_; }
  void Commit();

 private:
  std::string target_;
  std::string path_;
  bool committed_ = false;
};

}  // namespace kelvane
