#include "app/session_bus.h"

#include <QFileInfo>

namespace kelvane {

std::optional<QDBusConnection> DesktopSessionBus() {
  std::optional<QDBusConnection> bus;
  if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
    bus = QDBusConnection::sessionBus();
  } else {
    const QString socket = qEnvironmentVariable("XDG_RUNTIME_DIR") + "/bus";
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && QFileInfo(socket).exists())
      bus = QDBusConnection::connectToBus("unix:path=" + socket, "kelvane-session");
  }
  if (bus && !bus->isConnected()) bus.reset();
  return bus;
}

}  // namespace kelvane
