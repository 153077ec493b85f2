#include "app/x11_screensaver.h"

#include <QGuiApplication>
// Xlib's macros (Bool, None, Status, ...) clash with Qt's names: its headers come last.
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace kelvane {

bool SuspendX11ScreenSaver(bool suspend) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (display == nullptr) return false;
  int eventBase = 0, errorBase = 0;
  if (!XScreenSaverQueryExtension(display, &eventBase, &errorBase)) return false;
  XScreenSaverSuspend(display, suspend ? True : False);
  XFlush(display);
  return true;
}

}  // namespace kelvane
