#include "editor/session_listener.h"

#include <QCoreApplication>

#include "editor/listening_sequence.h"
#include "sound/fluid_player.h"

namespace kelvane {
namespace {
// Often enough for a ring to follow notes a quarter of a second long.
constexpr int kFollowMs = 20;
}  // namespace

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
  follow_.setInterval(kFollowMs);
  connect(&follow_, &QTimer::timeout, this, &SessionListener::Follow);
}

SessionListener::~SessionListener() = default;

void SessionListener::Play(const SessionDocument& document, int first, int count) {
  if (!directory_.isValid()) throw DocumentError("No temporary directory for the sound to play");
  const std::string path = WriteListeningSequence(document, first, count, directory_.path().toStdString());
  Stop();
  player_->SetFileName(path);
  player_->Open();
  player_->SetNotify(true);
  player_->Play();
  first_ = first;
  count_ = std::min(count, static_cast<int>(document.rows.size()) - first);
  clock_.start();
  follow_.start();
  SetPlaying(true);
  Follow();
}

void SessionListener::Stop() {
  if (playing_) player_->Stop();
  SetPlaying(false);
}

QString SessionListener::Silence() const {
  return QString::fromStdString(player_->DeviceFailure());
}

void SessionListener::SetPlaying(bool playing) {
  if (playing == playing_) return;
  playing_ = playing;
  if (!playing) {
    follow_.stop();
    Follow();
  }
  emit PlayingChanged(playing);
}

void SessionListener::Follow() {
  const auto note = playing_ ? NoteSoundingAt(static_cast<double>(clock_.elapsed()) / 1000, count_) : std::nullopt;
  const int row = note ? first_ + note->row : -1, column = note ? note->note : -1;
  if (row == soundingRow_ && column == soundingNote_) return;
  soundingRow_ = row, soundingNote_ = column;
  emit NoteSounding(row, column);
}

}  // namespace kelvane
