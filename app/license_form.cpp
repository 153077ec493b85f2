#include "app/license_form.h"

namespace kelvane {

TLicenseForm::TLicenseForm(QWidget* parent) : QDialog(parent) { setWindowTitle("License and Disclaimer"); }

}  // namespace kelvane
