#pragma once
// The session's sound alone, as 16-bit WAV or FLAC through libsndfile.

#include <memory>
#include <string>

#include "render/export.h"

namespace kelvane {

// kind: Wav or Flac. Throws std::runtime_error when the file cannot be created.
std::unique_ptr<Exporter> OpenSoundFileExporter(const std::string& path, ExportKind kind,
                                                const ExportSettings& settings);

}  // namespace kelvane
