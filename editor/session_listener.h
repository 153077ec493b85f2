#pragma once
// Listening in the editor: rows of the session, once, through the same
// FluidSynth player and sound output as Kelvane, from a MIDI file in a
// temporary directory of the editor's own. It follows the file's clock and
// tells which note sounds, for the grid and the preview to show.

#include <QElapsedTimer>
#include <QObject>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "editor/session_document.h"

namespace kelvane {

class FluidPlayer;

class SessionListener : public QObject {
  Q_OBJECT
 public:
  explicit SessionListener(QObject* parent = nullptr);
  ~SessionListener() override;

  // `count` rows from `first` (0-based). Raises a DocumentError or the
  // player's error when it cannot play.
  void Play(const SessionDocument& document, int first, int count);
  void Stop();
  bool Playing() const { return playing_; }
  // Why the sound goes nowhere, once no sound device could be opened.
  QString Silence() const;

 signals:
  // Playing started, stopped, or ended by itself.
  void PlayingChanged(bool playing);
  // The note sounding now, by the document's row (0-based) and note
  // (0..12); row -1 between notes and once stopped.
  void NoteSounding(int row, int note);

 private:
  void SetPlaying(bool playing);
  void Follow();

  QTemporaryDir directory_;
  std::unique_ptr<FluidPlayer> player_;
  bool playing_ = false;
  int first_ = 0, count_ = 0;
  QElapsedTimer clock_;
  QTimer follow_;
  int soundingRow_ = -1, soundingNote_ = -1;
};

}  // namespace kelvane
