#pragma once
// Measures the advice for a failing session on a thread of its own, since
// every change tried is a whole flash check. One document at a time: a new
// request stops what runs for the old one, and the last few documents'
// advice is kept, so undoing back to one needs no new trials.

#include <QObject>
#include <atomic>
#include <optional>
#include <utility>
#include <vector>

#include "editor/flash_advice.h"

class QThread;

namespace kelvane {

class AdviceRunner : public QObject {
  Q_OBJECT
 public:
  explicit AdviceRunner(QObject* parent = nullptr);
  // Stops the trials still running and waits for them.
  ~AdviceRunner() override;

  // Starts the trials for this document, which fails as `now` says, in a
  // window that shows this much of it.
  void Advise(const SessionDocument& document, const FlashVerdict& now, const std::optional<DrawingArea>& window);
  // Stops the trials: the document they are for is no longer shown.
  void Cancel();
  // The advice measured for exactly this document, if any.
  std::optional<std::vector<Suggestion>> Known(const SessionDocument& document) const;

 signals:
  void Trying(int tried);
  void Advised(const kelvane::SessionDocument& document, const std::vector<kelvane::Suggestion>& suggestions);

 private:
  void Start();
  void Finished();

  QThread* worker_ = nullptr;
  std::atomic<bool> cancel_ = false;
  struct Request {
    SessionDocument document;
    FlashVerdict now;
    std::optional<DrawingArea> window;
  };
  std::optional<Request> wanted_;
  Request running_;  // read by the worker alone while it runs
  std::vector<Suggestion> result_;
  std::vector<std::pair<SessionDocument, std::vector<Suggestion>>> known_;
};

}  // namespace kelvane
