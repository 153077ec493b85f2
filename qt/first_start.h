#pragma once
// What the program writes at start-up, and only when it is missing: the
// template MIDI files and the session directory with its sample sessions.

#include <string>

namespace kelvane {

// Creates the session directory with the sample sessions when it does not
// exist yet. An existing directory is left as it is, even when empty: the
// user may have cleared it on purpose.
void InstallSampleSessions(const std::string& sessionDirectoryHostPath);

// The missing templates and, on a first start, the sample sessions.
void PrepareDataDirectory();

}  // namespace kelvane
