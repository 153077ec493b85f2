#include "app/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>

#include "app/about_form.h"
#include "app/license_form.h"
#include "app/splash_form.h"
#include "commands/main_commands.h"
#include "commands/remote_control.h"
#include "qt/display_text.h"
#include "qt/player_window.h"
#include "session/session_loader.h"
#include "sound/playback.h"
#include "visual/pulse.h"
#include "visual/tunnel.h"

namespace kelvane {

TMainForm::TMainForm(MainFormServices services, QWidget* parent)
    : QMainWindow(parent),
      services_(std::move(services)),
      surface_(new QtSurface(this)),
      dialog_(this),
      timer2_(1, Qt::PreciseTimer),
      timer3_(50, Qt::CoarseTimer),
      controls_{*this, *surface_, *services_.player, *services_.table, dialog_, timer2_} {
  setObjectName("MainForm");
  setWindowTitle("Kelvane   v 1.1");
  BuildWindow();
  WireTimers();
  surface_->onPaint = [this] { Guard([this] { FormPaint(state_, controls_); }); };
  services_.player->SetOnNotify([this] { Handle([this] { MediaPlayer1Notify(state_, controls_); }); });

  // Restored size 732 x 492 client pixels below the menu, centred; shown maximised by main().
  resize(732, 492 + menuBar()->sizeHint().height());
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame(QPoint(), size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}

// The surface outlives the members its paint handler uses: QWidget deletes
// its children only after this destructor has run.
TMainForm::~TMainForm() { surface_->onPaint = nullptr; }

void TMainForm::SetSecondaryForms(TAboutForm* about, TLicenseForm* license, TSplashForm2* splash) {
  about_ = about;
  license_ = license;
  splash_ = splash;
}

void TMainForm::BuildWindow() {
  surface_->setObjectName("MainSurface");
  const PlayerWindowParts parts = BuildPlayerWindow(*this, *surface_);
  pauseMenu_ = parts.pause;
  memo_ = parts.memo;
  panels_ = parts.panels;
  connect(parts.open, &QAction::triggered, this, [this] { Handle([this] { OpenAmbrelMenuClick(state_, controls_); }); });
  connect(parts.exit, &QAction::triggered, this, [this] { Handle([this] { ExitClick1(state_, controls_); }); });
  connect(parts.pause, &QAction::triggered, this, [this] { Handle([this] { PauseMenuClick(state_, controls_); }); });
  connect(parts.stop, &QAction::triggered, this, [this] { Handle([this] { StopMenuClick(state_, controls_); }); });
  connect(parts.licence, &QAction::triggered, this, [this] { Guard([this] { LicenseMenuClick(state_, controls_); }); });
  connect(parts.about, &QAction::triggered, this, [this] { Guard([this] { AboutMenuClick(state_, controls_); }); });
}

void TMainForm::WireTimers() {
  timer2_.timer().setObjectName("Timer2");
  timer3_.timer().setObjectName("Timer3");
  connect(&timer2_.timer(), &QTimer::timeout, this, [this] { Guard([this] { Timer2Timer(state_, *surface_); }); });
  connect(&timer3_.timer(), &QTimer::timeout, this, [this] { Guard([this] { Timer3Timer(state_); }); });
}

void TMainForm::Handle(const std::function<void()>& handler) {
  Guard(handler);
  emit playbackChanged();
}

void TMainForm::Guard(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    ShowException(DisplayText(error.what()));
  }
}

// Timers and the player go on while an error box is open; an error they
// raise then waits for its turn, once, instead of stacking box on box.
void TMainForm::ShowException(const QString& message) {
  if (!pendingErrors_.contains(message)) pendingErrors_.append(message);
  if (showingError_) return;
  showingError_ = true;
  while (!pendingErrors_.isEmpty()) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), pendingErrors_.first(), QMessageBox::Ok,
                    this);
    box.setObjectName("ErrorBox");
    box.setTextFormat(Qt::PlainText);  // messages quote file names and table texts
    box.exec();
    pendingErrors_.removeFirst();
  }
  showingError_ = false;
}

// FormActivate runs at the first activation only: the program's own modal
// windows closing, or the user coming back from another program, are not a
// new start. Being shown counts as that activation too: it comes first, so
// no tunnel tick runs before FormActivate has stopped the tunnel, and a
// desktop without a window manager never activates the window at all.
bool TMainForm::event(QEvent* e) {
  if ((e->type() == QEvent::WindowActivate || e->type() == QEvent::Show) && !activated_) {
    activated_ = true;
    // Queued ahead of the first timer tick, and out of this event, so the
    // splash's own event loop does not run inside it.
    QMetaObject::invokeMethod(
        this,
        [this] {
          Handle([this] { FormActivate(state_, controls_); });
          activationDone_ = true;
          if (!pendingFile_.isEmpty()) OpenChosen(std::exchange(pendingFile_, QString()));
        },
        Qt::QueuedConnection);
  }
  return QMainWindow::event(e);
}

void TMainForm::closeEvent(QCloseEvent* e) {
  Handle([this] { FormClose(state_, controls_); });
  e->accept();
}

bool TMainForm::ModalWindowOpen() const { return QApplication::activeModalWidget() != nullptr; }

void TMainForm::OpenFile(const QString& path) {
  if (!activationDone_)
    pendingFile_ = path;
  else if (!ModalWindowOpen())
    OpenChosen(path);
}

void TMainForm::OpenChosen(const QString& path) {
  const std::string file = QFile::encodeName(path).toStdString();
  Handle([this, &file] { OpenChosenFile(state_, controls_, file); });
}

void TMainForm::RunRemote(void (*command)(SessionState&, MainControls&)) {
  if (!ModalWindowOpen()) Handle([this, command] { command(state_, controls_); });
}

void TMainForm::ShowModal(ModalWindow window) {
  QDialog* dialog = nullptr;
  switch (window) {
    case ModalWindow::About: dialog = about_; break;
    case ModalWindow::License: dialog = license_; break;
    case ModalWindow::Splash: dialog = splash_; break;
  }
  if (dialog != nullptr) dialog->exec();
}

void TMainForm::CloseMainWindow() { close(); }

void TMainForm::SetStatusText(int panel, const std::string& text) {
  panels_.at(panel)->setText(DisplayText(text));
}

QString TMainForm::StatusText(int panel) const { return panels_.at(panel)->text(); }

QString TMainForm::CommentText() const { return memo_->toPlainText(); }

void TMainForm::ClearComment() { memo_->clear(); }

void TMainForm::AddCommentLine(const std::string& line) {
  memo_->appendPlainText(DisplayText(line, state_.textCodePage));
}

void TMainForm::SetPauseCaption(const std::string& caption) { pauseMenu_->setText(QString::fromStdString(caption)); }

void TMainForm::ShowErrorMessage(const std::string& text) {
  QMessageBox box(QMessageBox::Critical, "Error", QString::fromStdString(text), QMessageBox::Ok | QMessageBox::Cancel,
                  this);
  box.setObjectName("MessageDlg");
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void TMainForm::Beep() {
  emit beeped();
  QApplication::beep();
  // Many desktops mute the bell; the tone goes through the player's output.
  if (services_.beepTone) services_.beepTone();
}

}  // namespace kelvane
