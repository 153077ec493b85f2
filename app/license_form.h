#pragma once

#include <QDialog>

namespace kelvane {

// Placeholder until the window is built.
class TLicenseForm : public QDialog {
  Q_OBJECT
 public:
  explicit TLicenseForm(QWidget* parent = nullptr);
};

}  // namespace kelvane
