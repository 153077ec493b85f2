#include "app/desktop_services.h"

#include <QFileInfo>
#include <QUrl>

#include "app/file_drop.h"
#include "app/main_form.h"

namespace kelvane {
namespace {

QString LocalPath(const QString& argument) {
  const QUrl url(argument);
  if (url.isLocalFile()) return url.toLocalFile();
  return QFileInfo(argument).absoluteFilePath();
}

}  // namespace

DesktopServices::DesktopServices(TMainForm& form) : QObject(&form), form_(form) {
  new FileDropTarget(form, [&form](const QString& path) { form.OpenFile(path); });
}

void DesktopServices::OpenFromCommandLine(const QStringList& arguments) {
  if (arguments.size() > 1 && !arguments[1].isEmpty()) form_.OpenFile(LocalPath(arguments[1]));
}

}  // namespace kelvane
