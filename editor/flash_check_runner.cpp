#include "editor/flash_check_runner.h"

#include <QThread>

namespace kelvane {
namespace {
constexpr int kQuietMs = 500;
constexpr std::size_t kVerdictsKept = 16;
}  // namespace

FlashCheckRunner::FlashCheckRunner(QObject* parent) : QObject(parent) {
  debounce_.setSingleShot(true);
  debounce_.setInterval(kQuietMs);
  connect(&debounce_, &QTimer::timeout, this, &FlashCheckRunner::Start);
}

FlashCheckRunner::~FlashCheckRunner() {
  cancel_ = true;
  if (worker_ != nullptr) worker_->wait();
}

void FlashCheckRunner::Request(const SessionDocument& document) {
  wanted_ = document;
  if (auto known = ResultFor(document)) {
    // Undo back to a checked state, say: its verdict stands.
    debounce_.stop();
    emit Checked(document, *known);
    return;
  }
  emit Checking();
  debounce_.start();
}

std::optional<FlashVerdict> FlashCheckRunner::ResultFor(const SessionDocument& document) const {
  for (const auto& [checked, result] : known_)
    if (checked == document) return result;
  return std::nullopt;
}

FlashVerdict FlashCheckRunner::CheckNow(const SessionDocument& document) {
  if (auto known = ResultFor(document)) return *known;
  FlashVerdict result = VerdictOf(document);
  Keep(document, result);
  emit Checked(document, result);
  return result;
}

void FlashCheckRunner::Keep(const SessionDocument& document, const FlashVerdict& result) {
  if (known_.size() == kVerdictsKept) known_.erase(known_.begin());
  known_.emplace_back(document, result);
}

void FlashCheckRunner::Start() {
  // One check at a time; a change made meanwhile is checked when it ends.
  if (worker_ != nullptr || ResultFor(wanted_)) return;
  running_ = wanted_;
  worker_ = QThread::create([this] { runningResult_ = VerdictOf(running_, &cancel_); });
  connect(worker_, &QThread::finished, this, &FlashCheckRunner::Finished);
  worker_->start(QThread::LowPriority);
}

void FlashCheckRunner::Finished() {
  worker_->deleteLater();
  worker_ = nullptr;
  Keep(running_, runningResult_);
  if (running_ == wanted_) {
    emit Checked(running_, runningResult_);
  } else {
    Start();
  }
}

}  // namespace kelvane
