#include "app/mpris_service.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QUrl>
#include <unistd.h>

#include "app/main_form.h"
#include "commands/main_commands.h"
#include "commands/remote_control.h"
#include "qt/display_text.h"

namespace kelvane {
namespace {

const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

QString StatusName(PlaybackStatus status) {
  switch (status) {
    case PlaybackStatus::Playing: return "Playing";
    case PlaybackStatus::Paused: return "Paused";
    default: return "Stopped";
  }
}

// Commands run after the bus has had its answer: a handler may open an error
// box, and the caller is not kept waiting while it is up.
void Later(QObject* context, std::function<void()> call) {
  QMetaObject::invokeMethod(context, std::move(call), Qt::QueuedConnection);
}

}  // namespace

MprisService::MprisService(TMainForm& form, QDBusConnection bus) : QObject(&form), form_(form), bus_(std::move(bus)) {
  new MprisRoot(this);
  new MprisPlayer(this);
}

bool MprisService::Register() {
  if (!bus_.registerObject(kObjectPath, this, QDBusConnection::ExportAdaptors)) return false;
  const QString name = QStringLiteral("org.mpris.MediaPlayer2.kelvane");
  if (bus_.registerService(name) || bus_.registerService(name + ".instance" + QString::number(getpid()))) return true;
  bus_.unregisterObject(kObjectPath);
  return false;
}

// The session's name and whole time are taken when it starts playing, and
// kept after Stop or its end: the same sequence is what Play plays again.
QVariantMap MprisService::Metadata() {
  const SessionState& s = form_.state();
  if (!HasSession(form_.controls().player)) return {};
  if (s.sessionOpen == 1 && s.playing) {
    QString title = DisplayText(s.sessionName, s.textCodePage);
    if (title.isEmpty()) title = form_.StatusText(0);
    const qlonglong length = SessionMicroseconds(s);
    if (title != title_ || length != length_ || track_ == 0) ++track_;
    title_ = title;
    length_ = length;
  }
  return {{"mpris:trackid", QVariant::fromValue(QDBusObjectPath(QString("/org/kelvane/Session/%1").arg(track_)))},
          {"xesam:title", title_},
          {"mpris:length", length_}};
}

void MprisService::Update() {
  const MediaPlayer& player = form_.controls().player;
  MprisView now{StatusName(CurrentPlaybackStatus(player)), Metadata(), HasSession(player)};
  QVariantMap changed;
  if (now.status != view_.status) changed["PlaybackStatus"] = now.status;
  if (now.metadata != view_.metadata) changed["Metadata"] = now.metadata;
  if (now.canPlay != view_.canPlay) changed["CanPlay"] = changed["CanPause"] = now.canPlay;
  view_ = std::move(now);
  if (changed.isEmpty()) return;
  QDBusMessage signal =
      QDBusMessage::createSignal(kObjectPath, "org.freedesktop.DBus.Properties", "PropertiesChanged");
  signal << kPlayerInterface << changed << QStringList();
  bus_.send(signal);
}

QStringList MprisRoot::SupportedMimeTypes() const { return {"application/x-kelvane-ambrel"}; }

void MprisRoot::Raise() {
  TMainForm& form = service_.form();
  form.setWindowState(form.windowState() & ~Qt::WindowMinimized);
  form.raise();
  form.activateWindow();
}

void MprisService::Run(void (*command)(SessionState&, MainControls&)) {
  Later(this, [this, command] { form_.RunRemote(command); });
}

void MprisRoot::Quit() { service_.Run(ExitClick1); }

void MprisPlayer::Play() { service_.Run(RemotePlay); }
void MprisPlayer::Pause() { service_.Run(RemotePause); }
void MprisPlayer::PlayPause() { service_.Run(RemotePlayPause); }
void MprisPlayer::Stop() { service_.Run(RemoteStop); }

void MprisPlayer::OpenUri(const QString& uri) {
  const QUrl url(uri);
  if (url.isLocalFile()) Later(&service_, [this, path = url.toLocalFile()] { service_.form().OpenFile(path); });
}

}  // namespace kelvane
