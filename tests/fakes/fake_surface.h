#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tests/fakes/recorder.h"
#include "toolkit/surface.h"

namespace kelvane::testing {

// Records every drawing call; polylines are kept with the pen they were drawn with.
class FakeSurface : public Surface {
 public:
  struct Line {
    std::vector<Point> points;
    Point origin;
    Color color;
    int width;
    std::optional<Rect> clip;
  };
  struct Frame {
    Rect rect;
    Color color;
  };

  explicit FakeSurface(Recorder& log) : log_(log) {}

  void SetViewportOrigin(Point o) override { origin = o; }
  void SelectClip(const std::optional<Rect>& c) override {
    clip = c;
    if (!c) log_.Add("SelectClip none");
  }
  void SetPenColor(Color c) override { penColor = c; }
  void SetPenWidth(int w) override { penWidth = w; }
  void SetBrushColor(Color c) override { brushColor = c; }
  void Polyline(const Point* p, int n) override {
    lines.push_back({std::vector<Point>(p, p + n), origin, penColor, penWidth, clip});
  }
  void FrameRect(const Rect& r) override {
    frames.push_back({r, brushColor});
    log_.Add("FrameRect");
  }
  void Invalidate() override { log_.Add("Invalidate"); }
  void Repaint() override {
    log_.Add("Repaint");
  }

  Point origin;
  std::optional<Rect> clip;
  Color penColor = 0, brushColor = 0;
  int penWidth = 1;
  std::vector<Line> lines;
  std::vector<Frame> frames;

 private:
  Recorder& log_;
};

}  // namespace kelvane::testing
