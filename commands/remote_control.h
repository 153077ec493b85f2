#pragma once
// The player as the desktop sees it and drives it: its media controls, a
// file manager, a file dropped on the window. Every command is made of the
// menu's own handlers, the clicks a user would make for it, so status texts
// and the menu caption follow as they would; none adds a step of its own.

#include <cstdint>
#include <string>

#include "state/session_state.h"
#include "toolkit/main_controls.h"

namespace kelvane {

enum class PlaybackStatus { Playing, Paused, Stopped };

// Playing while the sequence sounds, Paused while Pause has halted it,
// Stopped otherwise (nothing open, Stop, or the session's end).
PlaybackStatus CurrentPlaybackStatus(const MediaPlayer& player);
// A sequence is open, so Pause/RESUME and Stop have something to act on.
bool HasSession(const MediaPlayer& player);
// The whole time of the session as it was opened: its cycles (at least
// one plays) times its rows, 4 seconds each.
std::int64_t SessionMicroseconds(const SessionState& s);

// File > Open Ambrel with `path` already chosen in the dialog.
void OpenChosenFile(SessionState& s, MainControls& c, const std::string& path);

// Each does nothing where the command has nothing to act on.
// Playing: nothing. Paused (RESUME on the menu): RESUME. Stopped: Pause,
// then RESUME, which plays the session's sequence again from its start.
void RemotePlay(SessionState& s, MainControls& c);
void RemotePause(SessionState& s, MainControls& c);
void RemotePlayPause(SessionState& s, MainControls& c);
void RemoteStop(SessionState& s, MainControls& c);

}  // namespace kelvane
