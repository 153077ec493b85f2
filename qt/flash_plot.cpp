#include "qt/flash_plot.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <functional>

namespace kelvane {
namespace {

const QColor kLight(20, 90, 200);
const QColor kRed(210, 30, 30);
const QColor kThreshold(90, 90, 90);
const QColor kFailing(255, 215, 215);

double SecondsOf(const FlashReport& r) { return std::max(1.0, static_cast<double>(r.seconds.size())); }

// One chart: a value a second for each rule, a threshold, and a scale.
struct Chart {
  QRectF box;
  double top;  // the value at the top of the box
  double threshold;
  QString label;
  std::function<QString(double)> text;  // a value on the scale
  std::function<double(const FlashMeasure&)> value;
};

void DrawChart(QPainter& p, const Chart& c, const FlashReport& r) {
  const double seconds = SecondsOf(r);
  const auto x = [&](double s) { return c.box.left() + c.box.width() * s / seconds; };
  const auto y = [&](double v) { return c.box.bottom() - c.box.height() * std::min(v, c.top) / c.top; };
  for (std::size_t s = 0; s < r.seconds.size(); ++s)
    if (r.seconds[s].Fails(r.mostShare))
      p.fillRect(QRectF(x(s), c.box.top(), x(s + 1) - x(s), c.box.height()), kFailing);
  p.setPen(QPen(kThreshold, 1, Qt::DashLine));
  p.drawLine(QPointF(c.box.left(), y(c.threshold)), QPointF(c.box.right(), y(c.threshold)));
  for (const auto& [colour, red] : {std::pair{kLight, false}, std::pair{kRed, true}}) {
    QPainterPath path;
    for (std::size_t s = 0; s < r.seconds.size(); ++s) {
      const QPointF point(x(s + 0.5), y(c.value(red ? r.seconds[s].red : r.seconds[s].light)));
      s == 0 ? path.moveTo(point) : path.lineTo(point);
    }
    p.setPen(QPen(colour, 2));
    p.drawPath(path);
  }
  p.setPen(Qt::black);
  for (const double v : {0.0, c.threshold, c.top}) {
    // A small plot has no room for 0 right under the threshold.
    if (v != c.threshold && std::abs(y(v) - y(c.threshold)) < 12) continue;
    p.drawText(QRectF(c.box.left() - 46, y(v) - 8, 42, 16), Qt::AlignRight | Qt::AlignVCenter, c.text(v));
  }
  p.drawRect(c.box);
  p.drawText(c.box.adjusted(6, 4, -6, -4), Qt::AlignLeft | Qt::AlignTop, c.label);
}

}  // namespace

void PaintFlashPlot(QPainter& p, const QRectF& box, const FlashReport& r) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const double gap = 24, half = (box.height() - gap) / 2;
  const QRectF upper(box.left(), box.top(), box.width(), half);
  const QRectF lower(box.left(), box.top() + half + gap, box.width(), half);
  const double most = 3;
  double peak = most + 1;
  for (const FlashSecond& s : r.seconds) peak = std::max({peak, double(s.light.flashes), double(s.red.flashes)});
  DrawChart(p,
            {upper, std::ceil(peak), most, "flashes a second (more than 3 fail)",
             [](double v) { return QString::number(v); }, [](const FlashMeasure& m) { return double(m.flashes); }},
            r);
  DrawChart(p,
            {lower, 1.0, r.mostShare,
             QString("share of the field flashing (more than %1% fails)").arg(std::lround(r.mostShare * 100)),
             [](double v) { return QString("%1%").arg(std::lround(v * 100)); },
             [](const FlashMeasure& m) { return m.share; }},
            r);
  // Seconds along the bottom, about ten marks.
  const double seconds = SecondsOf(r);
  const double step = std::max(1.0, std::pow(10, std::floor(std::log10(seconds / 2))) * (seconds / 2 > 50 ? 5 : 1));
  p.setPen(Qt::black);
  for (double s = 0; s <= seconds; s += step) {
    const double x = lower.left() + lower.width() * s / seconds;
    p.drawLine(QPointF(x, lower.bottom()), QPointF(x, lower.bottom() + 4));
    p.drawText(QRectF(x - 30, lower.bottom() + 4, 60, 16), Qt::AlignHCenter | Qt::AlignTop,
               QString("%1:%2").arg(static_cast<int>(s) / 60).arg(static_cast<int>(s) % 60, 2, 10, QChar('0')));
  }
  p.restore();
}

QImage FlashPlotImage(const FlashReport& report, const std::string& title, int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  QFont font = p.font();
  font.setPixelSize(13);
  p.setFont(font);
  p.setPen(Qt::black);
  p.drawText(QRectF(16, 8, width - 32, 20), Qt::AlignLeft | Qt::AlignVCenter,
             QString::fromStdString(title) + QString(report.Passes() ? ": PASS" : ": FAIL") +
                 "    general flash (blue), red flash (red)");
  PaintFlashPlot(p, QRectF(48, 36, width - 72, height - 64), report);
  return image;
}

}  // namespace kelvane
