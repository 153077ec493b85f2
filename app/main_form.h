#pragma once
// MainForm: the main window. It owns the session state and the controls the
// procedures work with, and runs every handler Qt calls through one guard.

#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <array>
#include <functional>
#include <memory>

#include "app/qt_file_dialog.h"
#include "app/qt_timer.h"
#include "qt/qt_surface.h"
#include "state/session_state.h"
#include "toolkit/main_controls.h"

class QAction;

namespace kelvane {

class TAboutForm;
class TLicenseForm;
class TSplashForm2;

// What the main window needs from outside: the player and the table engine,
// and the tone that goes with the beep. main() passes the real ones; tests
// may pass others.
struct MainFormServices {
  std::unique_ptr<MediaPlayer> player;
  std::unique_ptr<Table> table;
  std::function<void()> beepTone;
};

class TMainForm : public QMainWindow, private Shell {
  Q_OBJECT
 public:
  explicit TMainForm(MainFormServices services, QWidget* parent = nullptr);
  ~TMainForm() override;

  // The secondary windows, created after the main window at start-up.
  void SetSecondaryForms(TAboutForm* about, TLicenseForm* license, TSplashForm2* splash);

  SessionState& state() { return state_; }
  MainControls& controls() { return controls_; }
  QtSurface& surface() { return *surface_; }
  QtFileDialog& openDialog() { return dialog_; }
  QtTimer& timer2() { return timer2_; }
  QtTimer& timer3() { return timer3_; }
  QString StatusText(int panel) const;
  QString CommentText() const;
  QAction* PauseMenu() const { return pauseMenu_; }

  // Runs a handler; an error ends it and is shown in a modal error box, and
  // the program runs on.
  void Guard(const std::function<void()>& handler);
  void ShowException(const QString& message);

  // The ways in beyond the menu. A file (named on the command line, dropped,
  // sent over the session bus) opens as File > Open Ambrel with it chosen,
  // once the first activation is over; a remote command runs like a menu
  // command. Both do nothing while one of the program's modal windows is
  // open, when the menu cannot be reached either.
  void OpenFile(const QString& path);
  void RunRemote(void (*command)(SessionState&, MainControls&));
  bool ModalWindowOpen() const;

 signals:
  // After every handler that may change what plays (not the timers' ticks).
  void playbackChanged();
  // The beep sounds, at the end of a session for one.
  void beeped();

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // The parts from qt/player_window.h, wired to the procedures.
  void BuildWindow();
  void WireTimers();
  // Guard, and then playbackChanged.
  void Handle(const std::function<void()>& handler);
  void OpenChosen(const QString& path);

  // Shell
  void ShowModal(ModalWindow window) override;
  void CloseMainWindow() override;
  void SetStatusText(int panel, const std::string& text) override;
  void ClearComment() override;
  void AddCommentLine(const std::string& line) override;
  void SetPauseCaption(const std::string& caption) override;
  void ShowErrorMessage(const std::string& text) override;
  void Beep() override;

  SessionState state_;
  MainFormServices services_;
  QtSurface* surface_ = nullptr;
  QtFileDialog dialog_;
  QtTimer timer2_;
  QtTimer timer3_;
  MainControls controls_;
  std::array<QLabel*, 4> panels_{};
  QPlainTextEdit* memo_ = nullptr;
  QAction* pauseMenu_ = nullptr;
  TAboutForm* about_ = nullptr;
  TLicenseForm* license_ = nullptr;
  TSplashForm2* splash_ = nullptr;
  bool activated_ = false;
  bool activationDone_ = false;
  QString pendingFile_;  // named before the first activation was over
  bool showingError_ = false;
  QStringList pendingErrors_;
};

}  // namespace kelvane
