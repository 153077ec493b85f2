#include "render/sound_file_export.h"

#include <sndfile.h>

#include <limits>
#include <vector>

namespace kelvane {

namespace {

struct SndfileCloser {
  void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfilePtr = std::unique_ptr<SNDFILE, SndfileCloser>;

// Plain WAV, which every reader knows, holds 4 GB: 6 h 45 min at 44.1 kHz.
// Its 64-bit variants are read by far fewer programs, so a longer render is
// refused, pointing to FLAC, which holds any length without loss.
constexpr sf_count_t kWavFrames = (0xFFFFFFFFLL - 4096) / (2 * 2);

std::runtime_error TooLongForWav(const std::string& target, int sampleRate) {
  const auto minutes = static_cast<long>(kWavFrames / sampleRate / 60);
  return WriteError(target, "a WAV file holds " + std::to_string(minutes / 60) + " h " + std::to_string(minutes % 60) +
                                " min of sound at most; use .flac");
}

class SoundFileExporter : public Exporter {
 public:
  SoundFileExporter(const std::string& path, ExportKind kind, int sampleRate)
      : file_(path), sampleRate_(sampleRate), maxFrames_(kind == ExportKind::Wav ? kWavFrames : std::numeric_limits<sf_count_t>::max()) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 2;
    info.format = (kind == ExportKind::Flac ? SF_FORMAT_FLAC : SF_FORMAT_WAV) | SF_FORMAT_PCM_16;
    sound_.reset(sf_open(file_.Path().c_str(), SFM_WRITE, &info));
    if (!sound_) throw WriteError(path, sf_strerror(nullptr));
  }

  bool WantsFrames() const override { return false; }

  void AddAudio(const float* left, const float* right, int frames) override {
    if (written_ + frames > maxFrames_) throw TooLongForWav(file_.Target(), sampleRate_);
    written_ += frames;
    interleaved_.resize(2 * static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i) {
      interleaved_[2 * static_cast<std::size_t>(i)] = left[i];
      interleaved_[2 * static_cast<std::size_t>(i) + 1] = right[i];
    }
    if (sf_writef_float(sound_.get(), interleaved_.data(), frames) != frames)
      throw WriteError(file_.Target(), sf_strerror(sound_.get()));
  }

  void AddFrame(const Frame&) override {}

  void Finish() override {
    if (!sound_) return;
    // FLAC's last block and both formats' header sizes are written on closing.
    const int closed = sf_close(sound_.release());
    if (closed != 0) throw WriteError(file_.Target(), sf_error_number(closed));
    file_.Commit();
  }

 private:
  PendingFile file_;  // first: removed only after the file is closed
  int sampleRate_;
  sf_count_t maxFrames_;
  SndfilePtr sound_;
  std::vector<float> interleaved_;
  sf_count_t written_ = 0;
};

}  // namespace

std::unique_ptr<Exporter> OpenSoundFileExporter(const std::string& path, ExportKind kind,
                                                const ExportSettings& settings) {
  if (kind == ExportKind::Wav && settings.soundFrames > kWavFrames) throw TooLongForWav(path, settings.sampleRate);
  return std::make_unique<SoundFileExporter>(path, kind, settings.sampleRate);
}

}  // namespace kelvane
