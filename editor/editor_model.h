#pragma once
// The editor's document as its window sees it: the session with its undo
// history, the file it belongs to, and what is wrong with it. Every file
// operation either succeeds whole or changes nothing here.

#include <optional>
#include <string>
#include <vector>

#include "editor/document_history.h"
#include "editor/document_problems.h"

namespace kelvane {

class EditorModel {
 public:
  const SessionDocument& Document() const { return history_.Current(); }
  DocumentHistory& History() { return history_; }
  const DocumentHistory& History() const { return history_; }
  bool Modified() const { return history_.Modified(); }

  // The file the document was opened from or last saved to; empty when untitled.
  const std::string& Path() const { return path_; }
  // The file name alone, or "Untitled".
  std::string DisplayName() const;

  // What was read as something else at Open or Import and what is wrong
  // now, the values' problems before the rows'.
  std::vector<Problem> Problems() const;
  // Where Kelvane draws on this screen, for judging the area.
  void SetDrawingArea(const DrawingArea& area) { drawingArea_ = area; }
  const std::optional<DrawingArea>& GetDrawingArea() const { return drawingArea_; }

  void New();
  // These raise a DocumentError and leave the model as it was.
  void Open(const std::string& path);
  void Save() { SaveAs(path_); }
  void SaveAs(const std::string& path);
  // An imported description belongs to no file yet and counts as modified.
  void ImportJson(const std::string& jsonPath);
  void ExportJson(const std::string& jsonPath) const;

 private:
  DocumentHistory history_;
  std::string path_;
  std::vector<Problem> loadProblems_;
  std::optional<DrawingArea> drawingArea_;
};

// The whole of a small file, or a DocumentError naming it.
std::string ReadTextFile(const std::string& path);
// Written beside the target and renamed over it, like a saved session.
void WriteTextFile(const std::string& path, const std::string& text);

}  // namespace kelvane
