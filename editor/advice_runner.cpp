#include "editor/advice_runner.h"

#include <QThread>

namespace kelvane {
namespace {
constexpr std::size_t kAdviceKept = 8;
}  // namespace

AdviceRunner::AdviceRunner(QObject* parent) : QObject(parent) {}

AdviceRunner::~AdviceRunner() {
  cancel_ = true;
  if (worker_ != nullptr) worker_->wait();
}

void AdviceRunner::Advise(const SessionDocument& document, const FlashVerdict& now,
                          const std::optional<DrawingArea>& window) {
  if (auto known = Known(document)) {
    wanted_.reset();
    emit Advised(document, *known);
    return;
  }
  if (worker_ != nullptr && running_.document == document && !cancel_) {
    wanted_.reset();
    return;
  }
  wanted_ = Request{document, now, window};
  // Trials for another document end at their next check, and these follow.
  if (worker_ != nullptr) cancel_ = true;
  Start();
}

void AdviceRunner::Cancel() {
  wanted_.reset();
  if (worker_ != nullptr) cancel_ = true;
}

std::optional<std::vector<Suggestion>> AdviceRunner::Known(const SessionDocument& document) const {
  for (const auto& [advised, suggestions] : known_)
    if (advised == document) return suggestions;
  return std::nullopt;
}

void AdviceRunner::Start() {
  if (!wanted_ || worker_ != nullptr) return;
  running_ = *wanted_;
  wanted_.reset();
  cancel_ = false;
  worker_ = QThread::create([this] {
    result_ = kelvane::Advise(
        running_.document, running_.now, [this](const SessionDocument& d) { return VerdictOf(d, &cancel_); },
        running_.window,
        [this](int tried) { QMetaObject::invokeMethod(this, [this, tried] { emit Trying(tried); }, Qt::QueuedConnection); },
        &cancel_);
  });
  connect(worker_, &QThread::finished, this, &AdviceRunner::Finished);
  worker_->start(QThread::LowPriority);
}

void AdviceRunner::Finished() {
  worker_->deleteLater();
  worker_ = nullptr;
  if (!cancel_) {
    if (known_.size() == kAdviceKept) known_.erase(known_.begin());
    known_.emplace_back(running_.document, result_);
    emit Advised(running_.document, result_);
  }
  Start();
}

}  // namespace kelvane
