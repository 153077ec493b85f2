#include "app/desktop_services.h"

#include <QFileInfo>
#include <QUrl>

#include "app/file_drop.h"
#include "app/main_form.h"
#include "app/mpris_service.h"
#include "app/session_bus.h"

namespace kelvane {
namespace {

QString LocalPath(const QString& argument) {
  const QUrl url(argument);
  if (url.isLocalFile()) return url.toLocalFile();
  return QFileInfo(argument).absoluteFilePath();
}

}  // namespace

DesktopServices::DesktopServices(TMainForm& form)
    : QObject(&form),
      form_(form),
      bus_(DesktopSessionBus()) {
  if (bus_) {
    mpris_ = new MprisService(form, *bus_);
    if (!mpris_->Register()) {
      delete mpris_;
      mpris_ = nullptr;
    }
  }
  new FileDropTarget(form, [&form](const QString& path) { form.OpenFile(path); });
  connect(&form, &TMainForm::playbackChanged, this, &DesktopServices::Update);
}

DesktopServices::~DesktopServices() = default;

void DesktopServices::OpenFromCommandLine(const QStringList& arguments) {
  if (arguments.size() > 1 && !arguments[1].isEmpty()) form_.OpenFile(LocalPath(arguments[1]));
}

void DesktopServices::Update() {
  if (mpris_) mpris_->Update();
}

}  // namespace kelvane
