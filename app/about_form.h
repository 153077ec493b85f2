#pragma once
// AboutForm: the program's name, version and title picture, shown modally
// by "&About Kelvane".

#include <QDialog>

class QLabel;
class QPushButton;

namespace kelvane {

class TAboutForm : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutForm(QWidget* parent = nullptr);

  void BitBtn1Click();
};

}  // namespace kelvane
