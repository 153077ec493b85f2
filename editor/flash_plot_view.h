#pragma once
// The flash check's seconds drawn small in the editor's side panel.

#include <QWidget>

#include "render/flash_report.h"

namespace kelvane {

class FlashPlotView : public QWidget {
 public:
  explicit FlashPlotView(QWidget* parent = nullptr);
  void Show(const FlashReport& report);
  QSize sizeHint() const override { return {260, 130}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  FlashReport report_;
};

}  // namespace kelvane
