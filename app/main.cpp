// Kelvane: plays light-and-sound sessions.

#include <QApplication>
#include <QMessageBox>
#include <exception>

#include "app/about_form.h"
#include "app/desktop_services.h"
#include "app/license_form.h"
#include "app/main_form.h"
#include "app/splash_form.h"
#include "assets/artwork/artwork.h"
#include "qt/display_text.h"
#include "qt/first_start.h"
#include "qt/keep_no_settings.h"
#include "session/paradox_table.h"
#include "sound/fluid_player.h"

namespace {

void ShowException(const std::exception& error) {
  QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), kelvane::DisplayText(error.what()));
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

// The end of a play is found on the audio thread; the window hears of it
// through the event loop, after the handler that is running has returned or
// from the event loop of a modal window it opened.
void PostToUserInterface(std::function<void()> call) {
  QMetaObject::invokeMethod(qApp, std::move(call), Qt::QueuedConnection);
}

kelvane::MainFormServices RealServices() {
  kelvane::FluidPlayerOptions options;
  options.post = PostToUserInterface;
  auto player = std::make_unique<kelvane::FluidPlayer>(options);
  kelvane::FluidPlayer* tone = player.get();
  return {std::move(player), std::make_unique<kelvane::ParadoxTable>(), [tone] { tone->Beep(); }};
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  kelvane::KeepNoSettings();
  QApplication::setApplicationName("Kelvane");
  QApplication::setDesktopFileName("kelvane");
  QApplication::setWindowIcon(kelvane::ApplicationIcon());
  try {
    try {
      kelvane::PrepareDataDirectory();
    } catch (const std::exception& error) {
      // Without templates a session cannot sound, but the program still runs.
      ShowException(error);
    }
    kelvane::TMainForm mainForm(RealServices());
    kelvane::TAboutForm aboutForm(&mainForm);
    kelvane::TLicenseForm licenseForm(&mainForm);
    kelvane::TSplashForm2 splashForm(&mainForm);
    mainForm.SetSecondaryForms(&aboutForm, &licenseForm, &splashForm);
    auto* desktop = new kelvane::DesktopServices(mainForm);
    desktop->OpenFromCommandLine(QApplication::arguments());
    mainForm.showMaximized();
    QApplication::exec();
  } catch (const std::exception& error) {
    ShowException(error);
  }
  return 0;
}
