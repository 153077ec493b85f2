#include "render/export.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

#include "render/sound_file_export.h"
#include "render/video_file_export.h"

namespace kelvane {

namespace {

std::string Lowercase(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

std::string ErrnoText(int error) { return std::generic_category().message(error); }

// Hidden, so that a file manager showing the directory during a long
// render does not offer the half-written file; random, so that two renders
// into the same directory never share one.
std::string TemporaryNameBeside(const std::filesystem::path& target) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937 random{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
  std::string tag(8, ' ');
  for (char& c : tag) c = kLetters[pick(random)];
  return (target.parent_path() / ("." + target.filename().string() + "." + tag + ".part")).string();
}

}  // namespace

std::optional<ExportKind> ExportKindOf(const std::string& path) {
  const std::string extension = Lowercase(std::filesystem::path(path).extension().string());
  if (extension == ".wav") return ExportKind::Wav;
  if (extension == ".flac") return ExportKind::Flac;
  if (extension == ".mp4") return ExportKind::Mp4;
  if (extension == ".webm") return ExportKind::WebM;
  return std::nullopt;
}

ExportKind RequireExportKind(const std::string& path) {
  if (const std::optional<ExportKind> kind = ExportKindOf(path)) return *kind;
  const std::string extension = std::filesystem::path(path).extension().string();
  const std::string which = extension.empty() ? "for " + path + " (no extension)" : "'" + extension + "' for " + path;
  throw std::runtime_error("Unknown output format " + which + ": use .wav, .flac, .mp4 or .webm");
}

std::unique_ptr<Exporter> OpenExporter(const std::string& path, const ExportSettings& settings) {
  const ExportKind kind = RequireExportKind(path);
  if (settings.sampleRate <= 0) throw WriteError(path, "no sample rate given");
  if (kind == ExportKind::Wav || kind == ExportKind::Flac) return OpenSoundFileExporter(path, kind, settings);
  if (settings.width <= 0 || settings.height <= 0 || settings.fps <= 0)
    throw WriteError(path, "a video needs a picture size and a frame rate");
  return OpenVideoFileExporter(path, kind, settings);
}

std::runtime_error WriteError(const std::string& target, const std::string& reason) {
  return std::runtime_error("Cannot write " + target + ": " + reason);
}

PendingFile::PendingFile(std::string target) : target_(std::move(target)) {
  std::error_code ignored;
  if (std::filesystem::is_directory(target_, ignored)) throw WriteError(target_, "it is a directory");
  // O_EXCL: a name already taken is never truncated; 0666 lets the umask
  // give the finished file the same mode as any other new file.
  for (int attempt = 0; attempt < 100; ++attempt) {
    path_ = TemporaryNameBeside(target_);
    const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      return;
    }
    if (errno != EEXIST) throw WriteError(target_, ErrnoText(errno));
  }
  throw WriteError(target_, "no free temporary name beside it");
}

PendingFile::~PendingFile() {
  if (!committed_) ::unlink(path_.c_str());
}

void PendingFile::Commit() {
  if (::rename(path_.c_str(), target_.c_str()) != 0) throw WriteError(target_, ErrnoText(errno));
  committed_ = true;
}

}  // namespace kelvane
