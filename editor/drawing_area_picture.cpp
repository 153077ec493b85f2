#include "editor/drawing_area_picture.h"

#include <QPainter>

namespace kelvane {

void PaintDrawingArea(QPainter& p, const DrawingArea& area, const QTransform& toWidget, const QPalette& palette) {
  const auto onWidget = [&](const Rect& r) {
    return toWidget.mapRect(QRectF(r.left, r.top, r.right - r.left, r.bottom - r.top));
  };
  const QRectF window = onWidget({0, 0, area.width, area.height});
  const QRectF panel = onWidget({area.shown.right, area.shown.top, area.width, area.height});
  p.save();
  p.fillRect(window, Qt::black);
  p.fillRect(onWidget({0, 0, area.width, area.shown.top}), palette.mid());
  p.fillRect(panel, palette.button());
  p.setPen(QPen(palette.light().color(), 1));
  p.drawLine(panel.topLeft(), panel.bottomLeft());
  p.setPen(palette.buttonText().color());
  QFont small = p.font();
  small.setPointSizeF(small.pointSizeF() * 0.8);
  p.setFont(small);
  const QString name = "Comment\npanel";
  if (p.fontMetrics().boundingRect(panel.toRect(), Qt::AlignCenter, name).width() < panel.width())
    p.drawText(panel, Qt::AlignCenter, name);
  p.setPen(QPen(palette.dark().color(), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(window.adjusted(-0.5, -0.5, 0.5, 0.5));
  p.restore();
}

}  // namespace kelvane
