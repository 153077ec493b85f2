#pragma once
// MPRIS 2 on the session bus, as org.mpris.MediaPlayer2.kelvane: what the
// desktop's media controls and the keyboard's media keys see of the player
// and how they drive it. Every command runs the menu's own handlers through
// the window, and nothing while one of its modal windows is open.

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QVariantMap>

#include "state/session_state.h"
#include "toolkit/main_controls.h"

namespace kelvane {

class TMainForm;

// What the media controls are told.
struct MprisView {
  QString status = "Stopped";
  QVariantMap metadata;
  bool canPlay = false;
};

class MprisService : public QObject {
  Q_OBJECT
 public:
  MprisService(TMainForm& form, QDBusConnection bus);
  // Exports the object and claims the name (with ".instance<pid>" when
  // another Kelvane has it); false when the bus refuses.
  bool Register();
  // Takes the window's state and tells the bus what changed.
  void Update();
  // Runs a command on the window once the bus has had its answer: a handler
  // may open an error box, and the caller is not kept waiting meanwhile.
  void Run(void (*command)(SessionState&, MainControls&));

  TMainForm& form() { return form_; }
  const MprisView& view() const { return view_; }

 private:
  QVariantMap Metadata();

  TMainForm& form_;
  QDBusConnection bus_;
  MprisView view_;
  QString title_;
  qlonglong length_ = 0;
  int track_ = 0;
};

class MprisRoot : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
  Q_PROPERTY(bool CanQuit READ CanQuit)
  Q_PROPERTY(bool CanRaise READ CanRaise)
  Q_PROPERTY(bool HasTrackList READ HasTrackList)
  Q_PROPERTY(QString Identity READ Identity)
  Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
  Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
  Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)
 public:
  explicit MprisRoot(MprisService* service) : QDBusAbstractAdaptor(service), service_(*service) {}
  bool CanQuit() const { return true; }
  bool CanRaise() const { return true; }
  bool HasTrackList() const { return false; }
  QString Identity() const { return "Kelvane"; }
  QString DesktopEntry() const { return "kelvane"; }
  QStringList SupportedUriSchemes() const { return {"file"}; }
  QStringList SupportedMimeTypes() const;

 public slots:
  void Raise();
  void Quit();

 private:
  MprisService& service_;
};

class MprisPlayer : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
  Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
  Q_PROPERTY(QVariantMap Metadata READ Metadata)
  Q_PROPERTY(double Rate READ One)
  Q_PROPERTY(double MinimumRate READ One)
  Q_PROPERTY(double MaximumRate READ One)
  Q_PROPERTY(double Volume READ One)
  Q_PROPERTY(bool CanGoNext READ No)
  Q_PROPERTY(bool CanGoPrevious READ No)
  Q_PROPERTY(bool CanSeek READ No)
  Q_PROPERTY(bool CanControl READ CanControl)
  Q_PROPERTY(bool CanPlay READ CanPlay)
  Q_PROPERTY(bool CanPause READ CanPlay)
 public:
  explicit MprisPlayer(MprisService* service) : QDBusAbstractAdaptor(service), service_(*service) {}
  QString PlaybackStatus() const { return service_.view().status; }
  QVariantMap Metadata() const { return service_.view().metadata; }
  double One() const { return 1.0; }
  bool No() const { return false; }
  bool CanControl() const { return true; }
  bool CanPlay() const { return service_.view().canPlay; }

 public slots:
  void Play();
  void Pause();
  void PlayPause();
  void Stop();
  void Next() {}
  void Previous() {}
  void Seek(qlonglong) {}
  void SetPosition(const QDBusObjectPath&, qlonglong) {}
  void OpenUri(const QString& uri);

 private:
  MprisService& service_;
};

}  // namespace kelvane
