#pragma once
// The user-interface thread's queue for players whose output runs on a
// thread of its own (a sound device, the silent clock): that thread posts,
// the test runs the calls as the event loop would.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace kelvane::testing {

class CallQueue {
 public:
  std::function<void(std::function<void()>)> Poster() {
    return [this](std::function<void()> call) {
      std::lock_guard lock(mutex_);
      calls_.push_back(std::move(call));
      wake_.notify_one();
    };
  }
  // Runs posted calls as they come, for this long or until `done` holds.
  void RunFor(double seconds, const std::function<bool()>& done = [] { return false; }) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    std::unique_lock lock(mutex_);
    while (!done() && wake_.wait_until(lock, until, [this] { return !calls_.empty(); })) {
      auto call = std::move(calls_.front());
      calls_.pop_front();
      lock.unlock();
      call();
      lock.lock();
    }
  }

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> calls_;
};

}  // namespace kelvane::testing
