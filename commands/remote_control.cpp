#include "commands/remote_control.h"

#include <algorithm>

#include "commands/chosen_file.h"
#include "session/session_loader.h"
#include "sound/midi_templates.h"
#include "sound/playback.h"

namespace kelvane {
namespace {

bool IsPlaying(const SessionState& s, const MediaPlayer& player) {
  return CurrentPlaybackStatus(player) == PlaybackStatus::Playing && !s.paused;
}

}  // namespace

PlaybackStatus CurrentPlaybackStatus(const MediaPlayer& player) {
  switch (player.Mode()) {
    case PlayerMode::Playing: return PlaybackStatus::Playing;
    case PlayerMode::Paused: return PlaybackStatus::Paused;
    default: return PlaybackStatus::Stopped;
  }
}

bool HasSession(const MediaPlayer& player) { return player.Mode() != PlayerMode::NotReady; }

std::int64_t SessionMicroseconds(const SessionState& s) {
  const std::int64_t cycles = std::max(s.cycles, 1);
  return cycles * PlayedRows(s) * static_cast<std::int64_t>(kTemplateRowSeconds * 1'000'000);
}

void OpenChosenFile(SessionState& s, MainControls& c, const std::string& path) {
  ChosenFile chosen(path);
  MainControls withFile{c.shell, c.surface, c.player, c.table, chosen, c.timer2};
  OpenAmbrelMenuClick(s, withFile);
}

void RemotePlay(SessionState& s, MainControls& c) {
  if (!HasSession(c.player) || IsPlaying(s, c.player)) return;
  if (!s.paused) PauseMenuClick(s, c);
  PauseMenuClick(s, c);
}

void RemotePause(SessionState& s, MainControls& c) {
  if (IsPlaying(s, c.player)) PauseMenuClick(s, c);
}

void RemotePlayPause(SessionState& s, MainControls& c) {
  if (IsPlaying(s, c.player))
    RemotePause(s, c);
  else
    RemotePlay(s, c);
}

void RemoteStop(SessionState& s, MainControls& c) {
  if (HasSession(c.player) && CurrentPlaybackStatus(c.player) != PlaybackStatus::Stopped) StopMenuClick(s, c);
}

}  // namespace kelvane
