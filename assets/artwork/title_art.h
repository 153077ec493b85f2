#pragma once
// The program's own pictures, drawn by its own tunnel renderer: the title
// picture of the splash and About windows, and the application icon.

#include <QImage>

namespace kelvane {

inline constexpr int kTitleWidth = 362;
inline constexpr int kTitleHeight = 425;

// 362 x 425 times scale, 24-bit colour: a still of the tunnel, the name and
// the warning. Scale 2 is for displays scaled by 2 and more.
QImage RenderTitlePicture(int scale = 1);
// A square icon of the given size (32 for the windows, larger for the desktop).
QImage RenderIcon(int size);
// The editor's icon: the tunnel in a green frame with a pencil over it.
QImage RenderEditorIcon(int size);

}  // namespace kelvane
