#pragma once
// Undo and redo by whole snapshots: a session is a few kilobytes, so every
// change keeps the document as it was, and undo gives back exactly that.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editor/session_document.h"

namespace kelvane {

class DocumentHistory {
 public:
  // A history that starts at this document, saved as it is (File > New, Open).
  explicit DocumentHistory(SessionDocument saved = NewSessionDocument());

  const SessionDocument& Current() const { return current_; }

  // Makes `next` the current document, undoable. Changes that share a
  // non-empty merge key and follow each other directly (the digits typed
  // into one box, one drag) are undone as one step. A change to the same
  // document as now is no step at all.
  void Apply(SessionDocument next, const std::string& mergeKey = {});
  void Edit(const std::function<void(SessionDocument&)>& change, const std::string& mergeKey = {});
  // Ends a run of merged changes: the next change is a step of its own.
  void Seal() { lastKey_.clear(); }

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  void Undo();
  void Redo();

  // Starts over at this document: saved, or never saved (an import).
  void Reset(SessionDocument document, bool saved);
  // Also ends a run of merged changes, so undo can reach the saved state.
  void MarkSaved() {
    saved_ = current_;
    Seal();
  }
  // Differs from what was last saved; undoing back to it makes it unmodified again.
  bool Modified() const { return !saved_ || !(*saved_ == current_); }

 private:
  SessionDocument current_;
  std::optional<SessionDocument> saved_;
  std::vector<SessionDocument> undo_, redo_;
  std::string lastKey_;
};

}  // namespace kelvane
