#include "sound/silent_clock.h"

#include <pthread.h>

#include <chrono>
#include <vector>

namespace kelvane {
namespace {

constexpr int kBlockFrames = 512;

}  // namespace

SilentClock::SilentClock(Renderer& renderer, int sampleRate) : renderer_(renderer), sampleRate_(sampleRate) {
  thread_ = std::thread([this] { Run(); });
  pthread_setname_np(thread_.native_handle(), "kelvane-clock");  // for top and the benchmark
}

SilentClock::~SilentClock() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

// Each block is due at an absolute time counted from the start, so the
// clock does not drift however long the rendering takes; after a long stall
// (a suspended machine) it starts counting again rather than rushing.
void SilentClock::Run() {
  using Clock = std::chrono::steady_clock;
  const std::chrono::duration<double> block(double{kBlockFrames} / sampleRate_);
  std::vector<float> left(kBlockFrames), right(kBlockFrames);
  Clock::time_point start = Clock::now();
  long long blocks = 0;
  std::unique_lock lock(mutex_);
  while (true) {
    auto due = start + std::chrono::duration_cast<Clock::duration>(block * (blocks + 1));
    if (wake_.wait_until(lock, due, [this] { return stopping_; })) return;
    lock.unlock();
    RenderStereo(renderer_, kBlockFrames, left.data(), right.data());
    lock.lock();
    ++blocks;
    if (Clock::now() - due > std::chrono::seconds(2)) {
      start = Clock::now();
      blocks = 0;
    }
  }
}

}  // namespace kelvane
