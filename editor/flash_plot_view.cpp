#include "editor/flash_plot_view.h"

#include <QPainter>

#include "qt/flash_plot.h"

namespace kelvane {

FlashPlotView::FlashPlotView(QWidget* parent) : QWidget(parent) {
  setObjectName("FlashPlot");
  setMinimumHeight(110);
  setToolTip("Flashes a second and the share of the field flashing, over the seconds checked: blue for light, "
             "red for saturated red, dashed the limits, shaded the seconds that fail");
}

void FlashPlotView::Show(const FlashReport& report) {
  report_ = report;
  setVisible(!report_.seconds.empty());
  update();
}

void FlashPlotView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  QFont font = p.font();
  font.setPixelSize(9);
  p.setFont(font);
  PaintFlashPlot(p, QRectF(rect()).adjusted(30, 4, -4, -20), report_);
}

}  // namespace kelvane
