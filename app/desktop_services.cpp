#include "app/desktop_services.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QUrl>

#include "app/file_drop.h"
#include "app/main_form.h"
#include "app/mpris_service.h"
#include "app/session_bus.h"
#include "commands/remote_control.h"

namespace kelvane {
namespace {

// The end beep's tone and its ring: the screen stays on until it is over.
constexpr int kBeepMs = 1500;

QString LocalPath(const QString& argument) {
  const QUrl url(argument);
  if (url.isLocalFile()) return url.toLocalFile();
  return QFileInfo(argument).absoluteFilePath();
}

}  // namespace

DesktopServices::DesktopServices(TMainForm& form)
    : QObject(&form),
      form_(form),
      bus_(DesktopSessionBus()),
      inhibitor_(bus_, [&form] {
        // The portal knows X11 windows by their id; a Wayland one would need
        // an exported handle, and an empty one is allowed.
        return QGuiApplication::platformName() == "xcb" ? "x11:" + QString::number(form.winId(), 16) : QString();
      }) {
  if (bus_) {
    mpris_ = new MprisService(form, *bus_);
    if (!mpris_->Register()) {
      delete mpris_;
      mpris_ = nullptr;
    }
  }
  new FileDropTarget(form, [&form](const QString& path) { form.OpenFile(path); });
  beepSounding_.setSingleShot(true);
  beepSounding_.setInterval(kBeepMs);
  connect(&beepSounding_, &QTimer::timeout, this, &DesktopServices::Update);
  connect(&form, &TMainForm::playbackChanged, this, &DesktopServices::Update);
  connect(&form, &TMainForm::beeped, this, [this] {
    beepSounding_.start();
    Update();
  });
}

DesktopServices::~DesktopServices() = default;

void DesktopServices::OpenFromCommandLine(const QStringList& arguments) {
  if (arguments.size() > 1 && !arguments[1].isEmpty()) form_.OpenFile(LocalPath(arguments[1]));
}

void DesktopServices::Update() {
  const bool playing = CurrentPlaybackStatus(form_.controls().player) == PlaybackStatus::Playing;
  inhibitor_.SetWanted(playing || beepSounding_.isActive());
  if (mpris_) mpris_->Update();
}

}  // namespace kelvane
