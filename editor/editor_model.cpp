#include "editor/editor_model.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "editor/document_json.h"
#include "editor/document_reader.h"
#include "editor/document_writer.h"
#include "toolkit/text.h"

namespace kelvane {
namespace {

// A description is a few kilobytes; anything far larger is not one.
constexpr std::uintmax_t kLargestJson = 1 << 20;

}  // namespace

std::string EditorModel::DisplayName() const { return path_.empty() ? "Untitled" : ExtractFileName(path_); }

std::vector<Problem> EditorModel::Problems() const {
  std::vector<Problem> all = loadProblems_;
  const std::vector<Problem> now = FindProblems(Document(), drawingArea_);
  all.insert(all.end(), now.begin(), now.end());
  OrderProblems(all);
  return all;
}

void EditorModel::New() {
  history_.Reset(NewSessionDocument(), true);
  path_.clear();
  loadProblems_.clear();
}

void EditorModel::Open(const std::string& path) {
  LoadedDocument loaded = OpenAmbrelDocument(path);
  history_.Reset(std::move(loaded.document), true);
  path_ = path;
  loadProblems_ = std::move(loaded.problems);
}

void EditorModel::SaveAs(const std::string& path) {
  if (path.empty()) throw DocumentError("The session has no file name yet; use Save As");
  SaveAmbrelDocument(Document(), path);
  history_.MarkSaved();
  path_ = path;
  // The file now holds what the editor shows.
  loadProblems_.clear();
}

void EditorModel::ImportJson(const std::string& jsonPath) {
  LoadedDocument loaded;
  try {
    loaded = DocumentFromJson(ReadTextFile(jsonPath));
  } catch (const DocumentError& error) {
    const std::string why = error.what();
    if (why.rfind("Cannot read", 0) == 0) throw;
    // Several reasons go a line each below the file's name.
    throw DocumentError("Cannot import " + ExtractFileName(jsonPath) + ":" + (why.find('\n') != std::string::npos ? "\n" : " ") + why);
  }
  history_.Reset(std::move(loaded.document), false);
  path_.clear();
  loadProblems_ = std::move(loaded.problems);
}

void EditorModel::ExportJson(const std::string& jsonPath) const { WriteTextFile(jsonPath, DocumentToJson(Document())); }

std::string ReadTextFile(const std::string& path) {
  const std::string name = ExtractFileName(path);
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) throw DocumentError("Cannot read " + name + ": it is not a file");
  if (std::filesystem::file_size(path, error) > kLargestJson)
    throw DocumentError("Cannot read " + name + ": it is far larger than a session description");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw DocumentError("Cannot read " + name);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in.good() && !in.eof()) throw DocumentError("Cannot read " + name);
  return text.str();
}

void WriteTextFile(const std::string& path, const std::string& text) {
  const std::string name = ExtractFileName(path);
  const std::string sibling = path + ".saving";
  {
    std::ofstream out(sibling, std::ios::binary | std::ios::trunc);
    out << text;
    out.flush();
    if (!out) {
      std::remove(sibling.c_str());
      throw DocumentError("Cannot write " + name + ": its folder cannot be written");
    }
  }
  std::error_code error;
  std::filesystem::rename(sibling, path, error);
  if (error) {
    std::remove(sibling.c_str());
    throw DocumentError("Cannot write " + name + ": " + error.message());
  }
}

}  // namespace kelvane
