#pragma once
// A session's flashes over time against the thresholds, for a person to see
// where it is dangerous: `ambrel check --plot` writes it, the editor shows it.

#include <QImage>
#include <QPainter>
#include <QRectF>
#include <string>

#include "render/flash_report.h"

namespace kelvane {

// Flashes a second above, share of the field below, both rules, the
// thresholds dashed, failing seconds shaded.
void PaintFlashPlot(QPainter& painter, const QRectF& box, const FlashReport& report);

// The plot with a title as a picture; needs a QGuiApplication for its text.
QImage FlashPlotImage(const FlashReport& report, const std::string& title, int width = 1000, int height = 520);

}  // namespace kelvane
