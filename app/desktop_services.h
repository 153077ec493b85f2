#pragma once
// What the player offers the desktop and asks of it, around the main window:
// its media controls over the session bus, the screen kept on while a
// session plays, and sessions opened from a file manager, by a drop on the
// window or from the command line. Without a session bus the window works
// as before.

#include <QObject>
#include <QTimer>
#include <memory>
#include <optional>

#include "app/screen_inhibitor.h"

namespace kelvane {

class TMainForm;
class MprisService;

class DesktopServices : public QObject {
  Q_OBJECT
 public:
  explicit DesktopServices(TMainForm& form);
  ~DesktopServices() override;

  // `kelvane FILE ...`: the first argument after the program's name, a path
  // or a file:// URI, opened once the first activation is over.
  void OpenFromCommandLine(const QStringList& arguments);

 private:
  void Update();

  TMainForm& form_;
  std::optional<QDBusConnection> bus_;
  ScreenInhibitor inhibitor_;
  MprisService* mpris_ = nullptr;  // a child of the window
  QTimer beepSounding_;
};

}  // namespace kelvane
