#include "assets/artwork/title_art.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include "state/session_state.h"
#include "visual/buffer_surface.h"
#include "visual/color_arrays.h"
#include "visual/session_timers.h"
#include "visual/stimulus_area.h"

namespace kelvane {
namespace {

// A session's worth of note colours, as the note rows would set them: the
// tunnel then carries bands of palette colours between the random ramp.
constexpr int kNotes[kNotesPerItem] = {2, 10, 5, 12, 3, 9, 6, 13, 4, 11, 1, 8, 3};

struct Still {
  Rect area;
  Color frame = 0;
  int ticks = 0;
  std::int32_t density = 2;
};

// Runs the real renderer for a number of ticks, a pulse tick every 50 as the
// window's timers do, and returns what the window would show; at a scale of 2 the
// same picture at twice the size, for scaled displays: the square the
// tunnel is made of, the area and the pen grow with it.
QImage RenderTunnel(int width, int height, const Still& still, int scale = 1) {
  BufferSurface surface(width * scale, height * scale);
  SessionState s;
  for (Point& corner : s.tunnelShape) corner = {corner.x * scale, corner.y * scale};
  SeedTunnelColors(s);
  s.colorR = static_cast<std::int32_t>(still.frame & 0xFF);
  s.colorG = static_cast<std::int32_t>((still.frame >> 8) & 0xFF);
  s.colorB = static_cast<std::int32_t>((still.frame >> 16) & 0xFF);
  s.density = still.density * scale;
  s.pulseFreq = 800;
  s.areaX1 = still.area.left * scale, s.areaY1 = still.area.top * scale;
  s.areaX2 = still.area.right * scale, s.areaY2 = still.area.bottom * scale;
  s.colorSequenceLength = kSequenceEntries;
  auto sequence = s.ColorSequence();
  for (int n = 0; n < kSequenceEntries; ++n) sequence[n] = s.NotePalette[kNotes[(n / 4) % kNotesPerItem]];
  SetUpStimulusArea(s, surface);
  SessionTimers timers(1000, 1000);  // milliseconds, a tick each
  timers.RunUntil(still.ticks, s, surface);
  const QImage view(reinterpret_cast<const uchar*>(surface.Pixels().data()), surface.Width(), surface.Height(),
                    surface.Width() * 4, QImage::Format_RGB32);
  return view.copy();
}

QFont TitleFont(int pixels, bool bold) {
  QFont font("Sans Serif");
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

// Text with a dark outline, so it reads on any colour of the tunnel.
void DrawOutlinedText(QPainter& p, const QRect& box, const QString& text, const QFont& font, int outline) {
  QPainterPath path;
  const QFontMetrics metrics(font);
  const int x = box.left() + (box.width() - metrics.horizontalAdvance(text)) / 2;
  const int y = box.top() + (box.height() + metrics.ascent() - metrics.descent()) / 2;
  path.addText(x, y, font, text);
  p.setRenderHint(QPainter::Antialiasing);
  p.strokePath(path, QPen(Qt::black, outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.fillPath(path, Qt::white);
}

}  // namespace

QImage RenderTitlePicture(int scale) {
  const Still still{{14, 14, kTitleWidth - 14, 328}, 0xFFB400, 260, 2};
  QImage image = RenderTunnel(kTitleWidth, kTitleHeight, still, scale);
  QPainter p(&image);
  p.scale(scale, scale);  // the text is drawn as paths, so it stays sharp
  DrawOutlinedText(p, QRect(0, 336, kTitleWidth, 52), "Kelvane", TitleFont(44, true), 4);
  p.setPen(QColor(0xE0, 0xE0, 0xE0));
  p.setFont(TitleFont(11, false));
  p.drawText(QRect(0, 392, kTitleWidth, 18), Qt::AlignCenter, "Flashing light: read the warning under Help");
  p.end();
  return image.convertToFormat(QImage::Format_RGB888);
}

namespace {

// Drawn once at 256 pixels, where the squares are wide enough to show, and
// scaled down for the smaller sizes.
constexpr int kIconMaster = 256;

QImage RoundedTunnel(Color frame) {
  const Still still{{10, 10, kIconMaster - 10, kIconMaster - 10}, frame, 40, 9};
  const QImage tunnel = RenderTunnel(kIconMaster, kIconMaster, still);
  QImage master(kIconMaster, kIconMaster, QImage::Format_ARGB32_Premultiplied);
  master.fill(Qt::transparent);
  QPainter p(&master);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath rounded;
  rounded.addRoundedRect(QRectF(0, 0, kIconMaster, kIconMaster), 36, 36);
  p.setClipPath(rounded);
  p.drawImage(0, 0, tunnel);
  return master;
}

QImage Scaled(const QImage& master, int size) {
  if (size == kIconMaster) return master;
  return master.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// A pencil across the lower right, point down-left, outlined so it reads at 32 pixels.
void DrawPencil(QPainter& p) {
  p.save();
  p.translate(172, 172);
  p.scale(0.7, 0.7);
  p.rotate(-45);
  const QPen outline(Qt::black, 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  QPainterPath body;
  body.addRect(QRectF(-20, -26, 150, 52));
  QPainterPath point;
  point.moveTo(-20, -26);
  point.lineTo(-78, 0);
  point.lineTo(-20, 26);
  point.closeSubpath();
  p.strokePath(body.united(point), outline);
  p.fillPath(body, QColor(0xFF, 0xC8, 0x20));
  p.fillPath(point, QColor(0xF0, 0xD8, 0xB0));
  QPainterPath lead;
  lead.moveTo(-58, -9);
  lead.lineTo(-78, 0);
  lead.lineTo(-58, 9);
  lead.closeSubpath();
  p.fillPath(lead, QColor(0x30, 0x30, 0x30));
  p.fillRect(QRectF(104, -26, 26, 52), QColor(0xF0, 0x80, 0x90));
  p.restore();
}

}  // namespace

QImage RenderIcon(int size) { return Scaled(RoundedTunnel(0xFFB400), size); }

QImage RenderEditorIcon(int size) {
  // Kelvane's tunnel in a green frame, with a pencil over it.
  QImage master = RoundedTunnel(0x40E040);
  QPainter p(&master);
  p.setRenderHint(QPainter::Antialiasing);
  DrawPencil(p);
  p.end();
  return Scaled(master, size);
}

}  // namespace kelvane
