#pragma once
// Runs the flash check after each change, on a thread of its own: it waits
// for the changes to pause (half a second), runs one check at a time, and
// only the newest document's verdict is kept.

#include <QObject>
#include <QTimer>
#include <atomic>
#include <optional>
#include <utility>
#include <vector>

#include "editor/flash_verdict.h"
#include "editor/session_document.h"

class QThread;

namespace kelvane {

class FlashCheckRunner : public QObject {
  Q_OBJECT
 public:
  explicit FlashCheckRunner(QObject* parent = nullptr);
  // Stops a check still running and waits for it: it uses the program's
  // procedures, which must not outlive the objects they were given.
  ~FlashCheckRunner() override;

  void Request(const SessionDocument& document);
  // The verdict for exactly this document, if one is known.
  std::optional<FlashVerdict> ResultFor(const SessionDocument& document) const;
  // A verdict measured elsewhere with the same check, such as the advice's.
  void Remember(const SessionDocument& document, const FlashVerdict& verdict) {
    if (!ResultFor(document)) Keep(document, verdict);
  }
  // The verdict for this document, checked now on this thread if not known.
  FlashVerdict CheckNow(const SessionDocument& document);

 signals:
  void Checking();
  void Checked(const kelvane::SessionDocument& document, const kelvane::FlashVerdict& verdict);

 private:
  void Start();
  void Finished();
  void Keep(const SessionDocument& document, const FlashVerdict& result);

  QTimer debounce_;
  SessionDocument wanted_;
  QThread* worker_ = nullptr;
  SessionDocument running_;
  FlashVerdict runningResult_;
  std::atomic<bool> cancel_ = false;
  // The last verdicts, so undoing back to a checked state needs no new check.
  std::vector<std::pair<SessionDocument, FlashVerdict>> known_;
};

}  // namespace kelvane
