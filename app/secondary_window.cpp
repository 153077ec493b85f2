#include "app/secondary_window.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "assets/artwork/artwork.h"

namespace kelvane {

QFont WindowFont(int pixels, bool bold) {
  QFont font = QApplication::font();
  font.setFamily("Sans Serif");
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

void SetUpToolWindow(QDialog& window, const QString& caption, QSize clientSize) {
  window.setWindowTitle(caption);
  window.setFont(WindowFont(11));
  window.setWindowIcon(ApplicationIcon());
  window.setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                        Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  window.setFixedSize(clientSize);
  // The design position, not the centre of the screen or of the main window.
  window.move(192, 108);
}

QPushButton* AddOkButton(QWidget& parent, const QRect& geometry) {
  auto* ok = new QPushButton(parent.style()->standardIcon(QStyle::SP_DialogOkButton), "OK", &parent);
  ok->setObjectName("BitBtn1");
  ok->setDefault(true);
  ok->setGeometry(geometry);
  return ok;
}

}  // namespace kelvane
