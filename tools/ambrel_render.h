#pragma once
// `ambrel render SESSION.db OUT`: the session's sound (OUT.wav, OUT.flac) or
// its stimulus area with the sound (OUT.mp4, OUT.webm).

#include <string>

#include "tools/ambrel_options.h"

namespace kelvane {

// Throws std::runtime_error when the session cannot be rendered or the file
// cannot be written; no part of the file is left behind then.
void RenderSessionTo(const std::string& sessionPath, const std::string& outPath, RenderOptions options);

}  // namespace kelvane
