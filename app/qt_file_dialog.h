#pragma once

#include <QFileDialog>

#include "toolkit/shell.h"

namespace kelvane {

// OpenDialogDB1: Qt's own file dialog (not the desktop's), so it looks and
// behaves the same everywhere and can be driven by tests.
class QtFileDialog : public FileDialog {
 public:
  explicit QtFileDialog(QWidget* parent);

  void SetInitialDir(const std::string& dir) override { initialDir_ = dir; }
  void SetDefaultExt(const std::string& ext) override { defaultExt_ = ext; }
  void SetFileName(const std::string& name) override { fileName_ = name; }
  bool Execute() override;
  std::string FileName() const override { return fileName_; }

  QFileDialog& dialog() { return dialog_; }

 private:
  QFileDialog dialog_;
  std::string initialDir_, defaultExt_, fileName_;
};

}  // namespace kelvane
