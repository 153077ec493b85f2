#pragma once

#include <QDialog>

namespace kelvane {

// Placeholder until the window is built.
class TSplashForm2 : public QDialog {
  Q_OBJECT
 public:
  explicit TSplashForm2(QWidget* parent = nullptr);
};

}  // namespace kelvane
