#include "app/splash_form.h"

namespace kelvane {

TSplashForm2::TSplashForm2(QWidget* parent) : QDialog(parent) { setWindowTitle(" "); }

}  // namespace kelvane
