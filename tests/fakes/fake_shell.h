#pragma once

#include <array>
#include <functional>
#include <string>

#include "tests/fakes/recorder.h"
#include "toolkit/shell.h"

namespace kelvane::testing {

class FakeShell : public Shell {
 public:
  explicit FakeShell(Recorder& log) : log_(log) {}

  void ShowModal(ModalWindow window) override {
    static const char* names[] = {"About", "License", "Splash"};
    log_.Add(std::string("ShowModal ") + names[static_cast<int>(window)]);
    if (onModal) onModal(window);
  }
  void CloseMainWindow() override { log_.Add("CloseMainWindow"); }
  void SetStatusText(int panel, const std::string& text) override {
    panels.at(panel) = text;
    log_.Add("Status " + std::to_string(panel) + " " + text);
  }
  void ClearComment() override {
    comment.clear();
    log_.Add("ClearComment");
  }
  void AddCommentLine(const std::string& line) override {
    comment += line + "\n";
    log_.Add("AddCommentLine " + line);
  }
  void SetPauseCaption(const std::string& caption) override {
    pauseCaption = caption;
    log_.Add("PauseCaption " + caption);
  }
  void ShowErrorMessage(const std::string& text) override {
    messages.push_back(text);
    log_.Add("Message " + text);
    if (onMessage) onMessage(text);
  }
  void Beep() override {
    ++beeps;
    log_.Add("Beep");
  }

  std::array<std::string, 4> panels;
  std::string comment;
  std::string pauseCaption = "Pause";
  std::vector<std::string> messages;
  int beeps = 0;
  // Runs while a modal window or message box is "open", as the event loop would.
  std::function<void(ModalWindow)> onModal;
  std::function<void(const std::string&)> onMessage;

 private:
  Recorder& log_;
};

class FakeFileDialog : public FileDialog {
 public:
  explicit FakeFileDialog(Recorder& log) : log_(log) {}

  void SetInitialDir(const std::string& dir) override { initialDir = dir; }
  void SetDefaultExt(const std::string& ext) override { defaultExt = ext; }
  void SetFileName(const std::string& name) override { fileName = name; }
  bool Execute() override {
    log_.Add("Execute");
    if (onExecute) onExecute();
    if (!choice.empty()) fileName = choice;
    return !choice.empty();
  }
  std::string FileName() const override { return fileName; }

  std::string initialDir, defaultExt, fileName;
  // The path the "user" picks; empty cancels.
  std::string choice;
  std::function<void()> onExecute;

 private:
  Recorder& log_;
};

}  // namespace kelvane::testing
