#pragma once
// The fourteen notes in a strip under the grid, each in its colour with its
// code and the key it plays: a click puts that note into the selected cells.
// In a narrow window the strip folds into two lines.

#include <QWidget>
#include <vector>

class QGridLayout;
class QLabel;
class QToolButton;

namespace kelvane {

class NotePalette : public QWidget {
  Q_OBJECT
 public:
  explicit NotePalette(QWidget* parent = nullptr);

  QSize minimumSizeHint() const override;

 signals:
  void Picked(int code);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Arrange(int lines);
  int WidthFor(int lines) const;

  QGridLayout* layout_;
  QLabel* title_;
  std::vector<QToolButton*> buttons_;
  int lines_ = 0;
};

}  // namespace kelvane
