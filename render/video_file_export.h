#pragma once
// The session's picture and sound as a video through the FFmpeg libraries:
// MP4 with H.264 and AAC, or WebM with VP9 and Opus.

#include <memory>
#include <string>

#include "render/export.h"

namespace kelvane {

// kind: Mp4 or WebM. Throws std::runtime_error when the file cannot be
// created or an encoder is missing.
std::unique_ptr<Exporter> OpenVideoFileExporter(const std::string& path, ExportKind kind,
                                                const ExportSettings& settings);

}  // namespace kelvane
