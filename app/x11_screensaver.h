#pragma once
// The X server's own screensaver, for a plain X11 session that runs no
// desktop service to ask: suspended through the MIT-SCREEN-SAVER extension
// on Qt's connection, so the server lets go by itself should the program end.

namespace kelvane {

// True when the display is X11 and the server has the extension. Each
// suspension must be matched by one resumption.
bool SuspendX11ScreenSaver(bool suspend);

}  // namespace kelvane
