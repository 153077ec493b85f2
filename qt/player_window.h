#pragma once
// Kelvane's main window around its drawing surface: the font, the menu bar
// with Pause and Stop right on it, the bevel and the comment panel laid over
// the surface, and the status bar's four panels. The player builds its
// window with these; the editor lays out an unseen copy to know where the
// player draws on this screen, so the two cannot disagree.

#include <QMargins>
#include <QSize>
#include <array>

#include "toolkit/geometry.h"

class QAction;
class QLabel;
class QMainWindow;
class QPlainTextEdit;
class QScreen;
class QWidget;

namespace kelvane {

inline constexpr int kInfoPanelWidth = 172;

struct PlayerWindowParts {
  QAction* open = nullptr;
  QAction* exit = nullptr;
  QAction* pause = nullptr;
  QAction* stop = nullptr;
  QAction* licence = nullptr;
  QAction* about = nullptr;
  QPlainTextEdit* memo = nullptr;
  std::array<QLabel*, 4> panels{};
};

// Builds the parts on the window, with the surface as its central widget.
PlayerWindowParts BuildPlayerWindow(QMainWindow& window, QWidget& surface);

// The drawing area of a player window whose client area (inside the window
// manager's frame) has this size, laid out without being shown.
DrawingArea PlayerDrawingArea(QSize clientSize);

// The same for the window shown maximised on this screen, as Kelvane starts:
// the screen's available area less the window manager's frame around it.
DrawingArea MaximisedPlayerDrawingArea(const QScreen& screen, const QMargins& windowFrame);

// The drawing area of a built player window as it is laid out now.
DrawingArea DrawingAreaOf(const QMainWindow& window);

}  // namespace kelvane
