#include "editor/session_listener.h"

#include <QCoreApplication>

#include "editor/listening_sequence.h"
#include "sound/fluid_player.h"

namespace kelvane {

SessionListener::SessionListener(QObject* parent) : QObject(parent) {
  FluidPlayerOptions options;
  // The end of a play is found on the audio thread and handled here, on
  // the user-interface thread, after whatever handler is running now.
  options.post = [](std::function<void()> call) {
    QMetaObject::invokeMethod(qApp, std::move(call), Qt::QueuedConnection);
  };
  player_ = std::make_unique<FluidPlayer>(options);
  player_->SetNotify(true);
  player_->SetOnNotify([this] { SetPlaying(false); });
}

SessionListener::~SessionListener() = default;

void SessionListener::Play(const SessionDocument& document, std::optional<int> row) {
  if (!directory_.isValid()) throw DocumentError("No temporary directory for the sound to play");
  const std::string path = WriteListeningSequence(document, row, directory_.path().toStdString());
  Stop();
  player_->SetFileName(path);
  player_->Open();
  player_->SetNotify(true);
  player_->Play();
  SetPlaying(true);
}

void SessionListener::Stop() {
  if (playing_) player_->Stop();
  SetPlaying(false);
}

void SessionListener::SetPlaying(bool playing) {
  if (playing == playing_) return;
  playing_ = playing;
  emit PlayingChanged(playing);
}

}  // namespace kelvane
