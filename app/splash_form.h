#pragma once
// SplashForm2: the title picture, shown once at the first activation of the
// main window, until the user closes it.

#include <QDialog>

namespace kelvane {

class TSplashForm2 : public QDialog {
  Q_OBJECT
 public:
  explicit TSplashForm2(QWidget* parent = nullptr);
};

}  // namespace kelvane
