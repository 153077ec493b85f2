#include "editor/document_history.h"

namespace kelvane {

DocumentHistory::DocumentHistory(SessionDocument saved) { Reset(std::move(saved), true); }

void DocumentHistory::Apply(SessionDocument next, const std::string& mergeKey) {
  if (next == current_) return;
  const bool merge = !mergeKey.empty() && mergeKey == lastKey_ && !undo_.empty();
  if (!merge) undo_.push_back(std::move(current_));
  current_ = std::move(next);
  redo_.clear();
  lastKey_ = mergeKey;
}

void DocumentHistory::Edit(const std::function<void(SessionDocument&)>& change, const std::string& mergeKey) {
  SessionDocument next = current_;
  change(next);
  Apply(std::move(next), mergeKey);
}

void DocumentHistory::Undo() {
  if (undo_.empty()) return;
  redo_.push_back(std::move(current_));
  current_ = std::move(undo_.back());
  undo_.pop_back();
  lastKey_.clear();
}

void DocumentHistory::Redo() {
  if (redo_.empty()) return;
  undo_.push_back(std::move(current_));
  current_ = std::move(redo_.back());
  redo_.pop_back();
  lastKey_.clear();
}

void DocumentHistory::Reset(SessionDocument document, bool saved) {
  current_ = std::move(document);
  saved_ = saved ? std::optional<SessionDocument>(current_) : std::nullopt;
  undo_.clear();
  redo_.clear();
  lastKey_.clear();
}

}  // namespace kelvane
