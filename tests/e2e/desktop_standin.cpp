// Stand-ins for the desktop services a player asks to keep the screen on,
// on the session bus DBUS_SESSION_BUS_ADDRESS names: the portal's Inhibit
// and the freedesktop ScreenSaver. Every call is written to standard output
// as one line, for a test to read:
//
//   portal Inhibit <window> <flags> -> <request path>
//   portal Close <request path>
//   screensaver Inhibit <application> -> <cookie>
//   screensaver UnInhibit <cookie>
//
//   desktop_standin [--portal] [--screensaver]

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QVariantMap>
#include <cstdio>

namespace {

void Say(const QString& line) {
  std::printf("%s\n", qPrintable(line));
  std::fflush(stdout);
}

class Portal : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Inhibit")
 public slots:
  QDBusObjectPath Inhibit(const QString& window, uint flags, const QVariantMap&) {
    const QString path = QString("/org/freedesktop/portal/desktop/request/kelvane/%1").arg(++requests_);
    Say(QString("portal Inhibit %1 %2 -> %3").arg(window.isEmpty() ? "-" : window).arg(flags).arg(path));
    return QDBusObjectPath(path);
  }

 private:
  int requests_ = 0;
};

// Every request object the portal hands out answers Close.
class Requests : public QDBusVirtualObject {
 public:
  QString introspect(const QString&) const override { return {}; }
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (message.interface() != "org.freedesktop.portal.Request" || message.member() != "Close") return false;
    Say("portal Close " + message.path());
    connection.send(message.createReply());
    return true;
  }
};

class ScreenSaver : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
 public slots:
  uint Inhibit(const QString& application, const QString&) {
    Say(QString("screensaver Inhibit %1 -> %2").arg(application).arg(++cookies_));
    return cookies_;
  }
  void UnInhibit(uint cookie) { Say(QString("screensaver UnInhibit %1").arg(cookie)); }

 private:
  uint cookies_ = 100;
};

bool Offer(const QString& service, const QString& path, QObject* object) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  return bus.registerObject(path, object, QDBusConnection::ExportAllSlots) && bus.registerService(service);
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (!QDBusConnection::sessionBus().isConnected()) {
    std::fprintf(stderr, "desktop_standin: no session bus\n");
    return 1;
  }
  Portal portal;
  Requests requests;
  ScreenSaver screenSaver;
  bool offered = true;
  if (args.contains("--portal")) {
    offered &= QDBusConnection::sessionBus().registerVirtualObject("/org/freedesktop/portal/desktop/request", &requests,
                                                                   QDBusConnection::SubPath);
    offered &= Offer("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop", &portal);
  }
  if (args.contains("--screensaver"))
    offered &= Offer("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver", &screenSaver);
  if (!offered) {
    std::fprintf(stderr, "desktop_standin: the bus refused a name or an object\n");
    return 1;
  }
  Say("ready");
  return QCoreApplication::exec();
}

#include "desktop_standin.moc"
