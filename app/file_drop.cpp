#include "app/file_drop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace kelvane {
namespace {

QString FirstLocalFile(const QMimeData* data) {
  if (data == nullptr) return {};
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) return url.toLocalFile();
  return {};
}

}  // namespace

FileDropTarget::FileDropTarget(QWidget& window, std::function<void(const QString&)> open)
    : QObject(&window), open_(std::move(open)) {
  window.setAcceptDrops(true);
  window.installEventFilter(this);
}

bool FileDropTarget::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDragMoveEvent*>(event);
      if (FirstLocalFile(drag->mimeData()).isEmpty()) return false;
      drag->acceptProposedAction();
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      const QString path = FirstLocalFile(drop->mimeData());
      if (path.isEmpty()) return false;
      drop->acceptProposedAction();
      // Opened after the drop has finished: the file manager is not kept
      // waiting while an error box is up.
      QMetaObject::invokeMethod(this, [this, path] { open_(path); }, Qt::QueuedConnection);
      return true;
    }
    default: return QObject::eventFilter(watched, event);
  }
}

}  // namespace kelvane
