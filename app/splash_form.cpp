#include "app/splash_form.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "app/secondary_window.h"
#include "assets/artwork/artwork.h"

namespace kelvane {
namespace {
// The design's outer 371 x 453 is the 362 x 425 picture in a classic frame.
// Here the picture fills the client area exactly and the window manager adds
// a frame of its own choosing around it.
constexpr QSize kClientSize(362, 425);
}  // namespace

TSplashForm2::TSplashForm2(QWidget* parent) : QDialog(parent) {
  setObjectName("SplashForm2");
  setWindowTitle(" ");
  setFont(WindowFont(11));
  // Only the close box: no minimise, maximise or help button; the border stays resizable.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setWindowIcon(ApplicationIcon());

  auto* image = new QLabel(this);
  image->setObjectName("SplashImage2");
  image->setPixmap(TitlePicture());
  image->move(0, 0);
  image->adjustSize();  // sizes itself to its picture

  resize(kClientSize);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame(QPoint(), kClientSize);
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}

}  // namespace kelvane
