#pragma once
// A number box that shows any value a file may hold, marks one outside its
// valid range instead of clamping it, and steps only within the range.

#include <QSpinBox>

namespace kelvane {

class RangeSpinBox : public QSpinBox {
  Q_OBJECT
 public:
  // The arrows step within lowest..highest; the hint is the tool tip while
  // the value has no problem.
  RangeSpinBox(int lowest, int highest, QString hint, QWidget* parent = nullptr);

  // Shows the value without reporting it as an edit.
  void Show(int value);
  // An empty text clears the mark.
  void SetProblem(const QString& problem);
  void SetHint(const QString& hint);

  void stepBy(int steps) override;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  StepEnabled stepEnabled() const override;

 private:
  int lowest_, highest_;
  QString hint_;
  QString problem_;
};

// Marks a widget as holding a value that is out of range, with the reason
// as its tool tip; an empty text clears the mark and restores the hint.
void MarkProblem(QWidget* widget, const QString& problem, const QString& hint);

}  // namespace kelvane
