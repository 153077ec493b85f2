#pragma once
// LicenseForm: the licence terms, the disclaimer of warranty and the
// photosensitivity warning, shown modally by "&License and Disclaimer".

#include <QDialog>

namespace kelvane {

class TLicenseForm : public QDialog {
  Q_OBJECT
 public:
  explicit TLicenseForm(QWidget* parent = nullptr);
};

}  // namespace kelvane
