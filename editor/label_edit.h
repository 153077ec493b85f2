#pragma once
// The line a row's label is typed in: at most 20 characters, with how many
// are used at its right, in red once typing or pasting met the limit, so a
// label is never cut short unseen.

#include <QLineEdit>

class QLabel;

namespace kelvane {

class LabelEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit LabelEdit(QWidget* parent = nullptr);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ShowCount(bool refused);
  QLabel* count_;
};

}  // namespace kelvane
