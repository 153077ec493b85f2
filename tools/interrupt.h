#pragma once
// Ctrl-C, SIGTERM and SIGHUP while a command works: it ends with 128 and the
// signal's number (130, 143, 129), leaving no part of its work behind.

#include <stdexcept>

namespace kelvane {

class Interrupted : public std::runtime_error {
 public:
  Interrupted(int signal, const std::string& what) : std::runtime_error(what), signal_(signal) {}
  int Signal() const { return signal_; }
  int ExitCode() const { return 128 + signal_; }

 private:
  int signal_;
};

// How a command meets the signals. Unwind: they are only noted, and the work
// calls ThrowIfInterrupted often enough to stop soon; destructors then
// remove what it left unfinished. AtOnce: the program says so and ends
// straight from the signal, for work that leaves nothing to remove.
enum class OnInterrupt { Unwind, AtOnce };
void CatchInterrupts(OnInterrupt how);

// Throws Interrupted once a signal has come, its text "interrupted by
// SIGTERM" and then `after`.
void ThrowIfInterrupted(const std::string& after = {});

}  // namespace kelvane
