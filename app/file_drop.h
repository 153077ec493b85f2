#pragma once
// Files dragged from a file manager onto the main window: the first local
// file of a drop is handed on, to be opened as File > Open Ambrel would.

#include <QObject>
#include <QWidget>
#include <functional>

namespace kelvane {

class FileDropTarget : public QObject {
  Q_OBJECT
 public:
  // Makes `window` take drops of local files and calls `open` with the path
  // of the first one dropped.
  FileDropTarget(QWidget& window, std::function<void(const QString& path)> open);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void(const QString&)> open_;
};

}  // namespace kelvane
