#pragma once
// Keeps the screen on while a session plays, as video players do: through
// the desktop portal where one runs, else the freedesktop ScreenSaver
// service, else GNOME's session manager, else (on plain X11) the X server's
// own screensaver. The services are asked without waiting for them, each
// in turn when the one before it fails or does not answer. A desktop that
// offers none is told about once on standard error, never in a box.

#include <QDBusConnection>
#include <QObject>
#include <QVariant>
#include <functional>
#include <optional>

namespace kelvane {

// The ways to keep the screen on, in the order they are tried.
enum class InhibitWay { Portal, ScreenSaver, Gnome, X11, None };

class ScreenInhibitor : public QObject {
  Q_OBJECT
 public:
  // `bus` is the session bus, if there is one; `window` gives the portal
  // the main window's identifier ("x11:..." or empty).
  ScreenInhibitor(std::optional<QDBusConnection> bus, std::function<QString()> window, QObject* parent = nullptr);
  ~ScreenInhibitor() override;

  // Holds the screen on while true, lets go when false.
  void SetWanted(bool wanted);

 private:
  using Way = InhibitWay;
  void Ask(Way way);
  void Answered(Way way, const QDBusMessage& reply);
  void Hold(Way way, const QVariant& token);
  void Release();
  void GiveUp();

  std::optional<QDBusConnection> bus_;
  std::function<QString()> window_;
  bool wanted_ = false;
  bool asking_ = false;  // a request is on its way
  Way held_ = Way::None;
  QVariant token_;  // the portal's request path, or the service's cookie
  QStringList failures_;
  bool told_ = false;
};

}  // namespace kelvane
