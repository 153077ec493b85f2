#pragma once
// The Open dialog's part when the file is already chosen: it answers at once
// with that file. For a file from outside the menu, and for the headless
// renderer.

#include <string>

#include "toolkit/shell.h"

namespace kelvane {

class ChosenFile : public FileDialog {
 public:
  explicit ChosenFile(std::string path) : path_(std::move(path)) {}
  void SetInitialDir(const std::string&) override {}
  void SetDefaultExt(const std::string&) override {}
  void SetFileName(const std::string&) override {}
  bool Execute() override { return true; }
  std::string FileName() const override { return path_; }

 private:
  std::string path_;
};

}  // namespace kelvane
