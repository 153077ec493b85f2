#pragma once
// What the procedures need of the main window besides its surface, player,
// table and timers: status panels, the comment box, the menu caption that
// changes, the file dialog, message boxes and the beep.

#include <string>

namespace kelvane {

// The program's own windows that are only ever shown modally.
enum class ModalWindow { About, License, Splash };

class Shell {
 public:
  virtual ~Shell() = default;

  // Shows the window and returns once the user has closed it.
  virtual void ShowModal(ModalWindow window) = 0;
  // Closes the main window, which ends the program once its close handler ran.
  virtual void CloseMainWindow() = 0;

  // Replaces the text of status panel 0..3 and nothing else.
  virtual void SetStatusText(int panel, const std::string& text) = 0;
  virtual void ClearComment() = 0;
  virtual void AddCommentLine(const std::string& line) = 0;
  virtual void SetPauseCaption(const std::string& caption) = 0;
  // A modal error box with OK and Cancel; the answer is of no interest.
  virtual void ShowErrorMessage(const std::string& text) = 0;
  virtual void Beep() = 0;
};

class FileDialog {
 public:
  virtual ~FileDialog() = default;
  virtual void SetInitialDir(const std::string& dir) = 0;
  virtual void SetDefaultExt(const std::string& ext) = 0;
  virtual void SetFileName(const std::string& name) = 0;
  // Runs the dialog modally: true when a file was chosen (then FileName holds its path).
  virtual bool Execute() = 0;
  virtual std::string FileName() const = 0;
};

}  // namespace kelvane
