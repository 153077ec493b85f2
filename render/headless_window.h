#pragma once
// The main window's toolkit parts without a window, for playing a session in
// simulated time: the shell keeps what the window would show, the file
// dialog answers one path. The timers are the tunnel's SessionTimers.

#include <functional>
#include <string>
#include <vector>

#include "commands/chosen_file.h"
#include "toolkit/shell.h"

namespace kelvane {

class HeadlessShell : public Shell {
 public:
  explicit HeadlessShell(std::function<void()> beep) : beep_(std::move(beep)) {}

  void ShowModal(ModalWindow) override {}
  void CloseMainWindow() override {}
  void SetStatusText(int panel, const std::string& text) override;
  void ClearComment() override { comment_.clear(); }
  void AddCommentLine(const std::string& line) override { comment_ += line + "\n"; }
  void SetPauseCaption(const std::string&) override {}
  void ShowErrorMessage(const std::string& text) override { messages_.push_back(text); }
  void Beep() override;

  const std::vector<std::string>& Messages() const { return messages_; }
  const std::string& StatusText(int panel) const { return panels_.at(static_cast<std::size_t>(panel)); }
  int Beeps() const { return beeps_; }

 private:
  std::function<void()> beep_;
  std::vector<std::string> panels_ = std::vector<std::string>(4);
  std::string comment_;
  std::vector<std::string> messages_;
  int beeps_ = 0;
};

}  // namespace kelvane
