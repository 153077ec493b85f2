// The editor window's flash check: the verdict, and the changes measured
// for a session that fails it.

#include <QLabel>
#include <QStatusBar>

#include "editor/advice_runner.h"
#include "editor/editor_window.h"
#include "editor/flash_check_runner.h"
#include "editor/flash_plot_view.h"

namespace kelvane {

void EditorWindow::ShowVerdict(const SessionDocument& document, const FlashVerdict& verdict) {
  if (!(document == model_.Document())) return;
  verdict_->setText(QString::fromStdString(verdict.text));
  verdictDetail_->setText(QString::fromStdString(VerdictDetail(verdict)));
  verdictPlot_->Show(verdict.report);
  verdict_->setStyleSheet(!verdict.checked  ? ""
                          : verdict.passes ? "color: #1a7f1a; font-weight: bold"
                                           : "color: #b00000; font-weight: bold");
  if (verdict.checked && !verdict.passes) {
    adviceText_->setText("Trying changes that might flash less...");
    advice_->Advise(document, verdict, model_.GetDrawingArea());
  } else {
    advice_->Cancel();
  }
}

void EditorWindow::ShowAdvice(const SessionDocument& document, const std::vector<Suggestion>& suggestions) {
  const bool shown = document == model_.Document() && (!suggestions.empty() || advice_->Known(document));
  advisedFor_ = shown ? std::optional<SessionDocument>(document) : std::nullopt;
  suggestions_ = shown ? suggestions : std::vector<Suggestion>();
  if (!shown) {
    adviceText_->clear();
    return;
  }
  if (suggestions_.empty()) {
    adviceText_->setText("No change tried flashes less: a smaller area, a finer pen, the other Form.");
    return;
  }
  const bool pass = suggestions_.front().verdict.passes;
  QString text = pass ? "Measured to pass:" : "No change tried passes; these flash least:";
  for (std::size_t i = 0; i < suggestions_.size(); ++i) {
    const FlashVerdict& v = suggestions_[i].verdict;
    text += QString("<br>&bull; <a href=\"%1\">%2</a>: %3 %4% of the field")
                .arg(i)
                .arg(QString::fromStdString(suggestions_[i].change).toHtmlEscaped())
                .arg(v.passes ? "passes," : "still fails,")
                .arg(v.share * 100, 0, 'f', 0);
  }
  adviceText_->setText(text);
}

// One step to undo, and only onto the document the change was measured for.
void EditorWindow::ApplySuggestion(int index) {
  if (!advisedFor_ || !(*advisedFor_ == model_.Document()) || index < 0 ||
      index >= static_cast<int>(suggestions_.size()))
    return;
  const Suggestion chosen = suggestions_[static_cast<std::size_t>(index)];
  flashes_->Remember(chosen.document, chosen.verdict);
  model_.History().Apply(chosen.document);
  Refresh();
  statusBar()->showMessage(QString("Made: %1. Undo takes it back.").arg(QString::fromStdString(chosen.change)), 8000);
}

}  // namespace kelvane
