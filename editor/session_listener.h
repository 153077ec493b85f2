#pragma once
// Listening in the editor: one row or the whole session, once, through the
// same FluidSynth player and sound output as Kelvane, from a MIDI file in a
// temporary directory of the editor's own.

#include <QObject>
#include <QTemporaryDir>
#include <memory>
#include <optional>

#include "editor/session_document.h"

namespace kelvane {

class FluidPlayer;

class SessionListener : public QObject {
  Q_OBJECT
 public:
  explicit SessionListener(QObject* parent = nullptr);
  ~SessionListener() override;

  // The whole session (no row) or one row (0-based). Raises a DocumentError
  // or the player's error when it cannot play.
  void Play(const SessionDocument& document, std::optional<int> row);
  void Stop();
  bool Playing() const { return playing_; }

 signals:
  // Playing started, stopped, or ended by itself.
  void PlayingChanged(bool playing);

 private:
  void SetPlaying(bool playing);

  QTemporaryDir directory_;
  std::unique_ptr<FluidPlayer> player_;
  bool playing_ = false;
};

}  // namespace kelvane
