#pragma once
// The program's own pictures, drawn by its own tunnel renderer: the title
// picture of the splash and About windows, and the application icon.

#include <QImage>

namespace kelvane {

inline constexpr int kTitleWidth = 362;
inline constexpr int kTitleHeight = 425;

// 362 x 425, 24-bit colour: a still of the tunnel, the name and the warning.
QImage RenderTitlePicture();
// A square icon of the given size (32 for the windows, larger for the desktop).
QImage RenderIcon(int size);

}  // namespace kelvane
