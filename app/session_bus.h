#pragma once
// The desktop's session bus, which its media controls and power management
// use to reach the program.

#include <QDBusConnection>
#include <optional>

namespace kelvane {

// The bus the environment names, else the one in the user's runtime
// directory; none without either. Never one started for the program:
// libdbus would launch a bus of its own (dbus-launch) that outlives the
// program and writes into the home directory.
std::optional<QDBusConnection> DesktopSessionBus();

}  // namespace kelvane
