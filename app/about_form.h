#pragma once

#include <QDialog>

namespace kelvane {

// Placeholder until the window is built.
class TAboutForm : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutForm(QWidget* parent = nullptr);
};

}  // namespace kelvane
