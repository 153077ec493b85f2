#pragma once
// What the player offers the desktop and asks of it, around the main window:
// sessions opened from a file manager, by a drop on the window or from the
// command line.

#include <QObject>

namespace kelvane {

class TMainForm;

class DesktopServices : public QObject {
  Q_OBJECT
 public:
  explicit DesktopServices(TMainForm& form);

  // `kelvane FILE ...`: the first argument after the program's name, a path
  // or a file:// URI, opened once the first activation is over.
  void OpenFromCommandLine(const QStringList& arguments);

 private:
  TMainForm& form_;
};

}  // namespace kelvane
