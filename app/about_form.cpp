#include "app/about_form.h"

namespace kelvane {

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) { setWindowTitle("About Kelvane"); }

}  // namespace kelvane
