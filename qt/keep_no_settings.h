#pragma once

#include <QSettings>

namespace kelvane {

// The programs keep no settings. Qt's own file dialog would keep its history
// and view in ~/.config/QtProject.conf and read them back at the next start;
// settings of the user's scope are pointed where nothing can be written (a
// path below a device file), so they are neither kept nor found.
inline void KeepNoSettings() {
  for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
    QSettings::setPath(format, QSettings::UserScope, "/dev/null/kelvane-keeps-no-settings");
}

}  // namespace kelvane
