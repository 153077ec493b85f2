#include "editor/flash_advice.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace kelvane {
namespace {

using Change = std::function<void(SessionDocument&)>;

struct Candidate {
  std::string change;
  Change make;
};

// Changes of one kind, mildest first: a milder one that passes makes the
// rest needless.
using Kind = std::vector<Candidate>;

Kind SmallerAreas(const SessionDocument& d, const std::optional<DrawingArea>& window) {
  const Rect a = Normalized({d.areaX1, d.areaY1, d.areaX2, d.areaY2});
  const std::int64_t width = std::int64_t{a.right} - a.left, height = std::int64_t{a.bottom} - a.top;
  const std::int64_t cx = a.left + width / 2, cy = a.top + height / 2;
  const std::pair<double, const char*> scales[] = {
      {0.75, "three quarters as wide and high"}, {0.5, "half as wide and high"},
      {0.35, "a third as wide and high"}, {0.25, "a quarter as wide and high"}};
  Kind kind;
  for (const auto& [scale, words] : scales) {
    const auto w = static_cast<std::int32_t>(std::lround(static_cast<double>(width) * scale));
    const auto h = static_cast<std::int32_t>(std::lround(static_cast<double>(height) * scale));
    if (w < 8 || h < 8) break;
    std::int64_t left = cx - w / 2, top = cy - h / 2;
    bool moved = false;
    if (window) {
      // Where the window shows all of it, as near its old place as may be.
      const Rect& shown = window->shown;
      const std::int64_t x = std::clamp<std::int64_t>(left, shown.left, std::max<std::int64_t>(shown.left, shown.right - w));
      const std::int64_t y = std::clamp<std::int64_t>(top, shown.top, std::max<std::int64_t>(shown.top, shown.bottom - h));
      moved = x != left || y != top;
      left = x, top = y;
    }
    kind.push_back({"A smaller area, " + std::to_string(w) + " x " + std::to_string(h) + " (" + words +
                        (moved ? ", moved where Kelvane's window shows all of it)" : ", about the same centre)"),
                    [x = static_cast<std::int32_t>(left), y = static_cast<std::int32_t>(top), w, h](SessionDocument& s) {
                      s.areaX1 = x, s.areaY1 = y, s.areaX2 = x + w, s.areaY2 = y + h;
                    }});
  }
  return kind;
}

Kind FinerPens(const SessionDocument& d) {
  std::vector<std::int32_t> widths = {d.density - 1, d.density / 2, 1};
  widths.erase(std::remove_if(widths.begin(), widths.end(), [&](std::int32_t w) { return w < 1 || w >= d.density; }),
               widths.end());
  std::sort(widths.rbegin(), widths.rend());
  widths.erase(std::unique(widths.begin(), widths.end()), widths.end());
  Kind kind;
  for (const std::int32_t width : widths)
    kind.push_back({"Density " + std::to_string(width) + " (a finer pen)",
                    [width](SessionDocument& s) { s.density = width; }});
  return kind;
}

Kind OtherForm(const SessionDocument& d) {
  if (d.form == 1) return {{"Form 2 (the squares shrink slowly)", [](SessionDocument& s) { s.form = 2; }}};
  return {{"Form 1 (the squares shrink fast)", [](SessionDocument& s) { s.form = 1; }}};
}

// Codes 0 and 1 play the same key; only their colour differs.
Kind SwappedCode(const SessionDocument& d, std::int32_t from, std::int32_t to, const std::string& change) {
  const bool present = std::any_of(d.rows.begin(), d.rows.end(), [from](const NoteRow& row) {
    return std::find(row.codes.begin(), row.codes.end(), from) != row.codes.end();
  });
  if (!present) return {};
  return {{change, [from, to](SessionDocument& s) {
             for (NoteRow& row : s.rows) std::replace(row.codes.begin(), row.codes.end(), from, to);
           }}};
}

std::vector<Kind> KindsOfChange(const SessionDocument& d, const std::optional<DrawingArea>& window) {
  std::vector<Kind> kinds = {SmallerAreas(d, window), FinerPens(d), OtherForm(d),
                             SwappedCode(d, 0, 1, "Code 1 for code 0 (the same note in red rather than black)"),
                             SwappedCode(d, 1, 0, "Code 0 for code 1 (the same note in black rather than red)")};
  kinds.erase(std::remove_if(kinds.begin(), kinds.end(), [](const Kind& k) { return k.empty(); }), kinds.end());
  return kinds;
}

class Trials {
 public:
  Trials(const SessionDocument& d, const VerdictFunction& verdictOf, const std::function<void(int)>& tried,
         const std::atomic<bool>* cancel)
      : base_(d), verdictOf_(verdictOf), tried_(tried), cancel_(cancel) {}

  bool Cancelled() const { return cancel_ != nullptr && *cancel_; }

  std::optional<Suggestion> Measure(const std::string& change, const std::vector<Change>& makes) {
    if (Cancelled()) return std::nullopt;
    Suggestion s{change, base_, {}};
    for (const Change& make : makes) make(s.document);
    s.verdict = verdictOf_(s.document);
    if (tried_) tried_(++count_);
    if (!s.verdict.checked) return std::nullopt;
    return s;
  }

 private:
  const SessionDocument& base_;
  const VerdictFunction& verdictOf_;
  const std::function<void(int)>& tried_;
  const std::atomic<bool>* cancel_;
  int count_ = 0;
};

bool LessFlashing(const Suggestion& a, const Suggestion& b) { return a.verdict.share < b.verdict.share; }

// "A smaller area" within a sentence; names (Density, Form, Code) stay as they are.
std::string LowerFirst(std::string text) {
  if (text.rfind("A ", 0) == 0) text[0] = 'a';
  return text;
}

}  // namespace

std::vector<Suggestion> Advise(const SessionDocument& document, const FlashVerdict& now,
                               const VerdictFunction& verdictOf, const std::optional<DrawingArea>& window,
                               const std::function<void(int)>& tried, const std::atomic<bool>* cancel) {
  Trials trials(document, verdictOf, tried, cancel);
  const std::vector<Kind> kinds = KindsOfChange(document, window);
  std::vector<Suggestion> passing;
  // The least flashing change of each kind, with how it was made.
  std::vector<std::pair<Suggestion, Change>> best;
  for (const Kind& kind : kinds) {
    std::optional<std::pair<Suggestion, Change>> least;
    for (const Candidate& candidate : kind) {
      const auto measured = trials.Measure(candidate.change, {candidate.make});
      if (!measured) break;
      if (!least || LessFlashing(*measured, least->first)) least = {{*measured, candidate.make}};
      if (measured->verdict.passes) {
        passing.push_back(*measured);
        break;
      }
    }
    if (least) best.push_back(*least);
  }
  // Two changes together, when no one of them is enough.
  std::vector<Suggestion> measured;
  for (const auto& [suggestion, make] : best) measured.push_back(suggestion);
  if (passing.empty()) {
    for (std::size_t i = 0; i < best.size(); ++i)
      for (std::size_t j = i + 1; j < best.size(); ++j) {
        const auto both = trials.Measure(best[i].first.change + " and " + LowerFirst(best[j].first.change),
                                         {best[i].second, best[j].second});
        if (!both) continue;
        measured.push_back(*both);
        if (both->verdict.passes) passing.push_back(*both);
      }
  }
  std::vector<Suggestion> out = passing;
  if (out.empty()) {
    for (const Suggestion& s : measured)
      if (!now.checked || s.verdict.share < now.share) out.push_back(s);
  }
  std::stable_sort(out.begin(), out.end(), LessFlashing);
  if (passing.empty() && out.size() > 3) out.resize(3);
  return out;
}

}  // namespace kelvane
