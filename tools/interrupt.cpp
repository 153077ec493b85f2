#include "tools/interrupt.h"

#include <signal.h>
#include <string.h>
#include <unistd.h>

#include <string>

namespace kelvane {
namespace {

volatile sig_atomic_t caught = 0;

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

const char* SignalName(int signal) {
  switch (signal) {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
    default: return "a signal";
  }
}

void Note(int signal) { caught = signal; }

// Only what is safe in a signal handler: write and _exit.
void EndAtOnce(int signal) {
  const char* lead = "ambrel: interrupted by ";
  const char* name = SignalName(signal);
  ssize_t ignored = write(STDERR_FILENO, lead, strlen(lead));
  ignored = write(STDERR_FILENO, name, strlen(name));
  ignored = write(STDERR_FILENO, "\n", 1);
  (void)ignored;
  _exit(128 + signal);
}

}  // namespace

void CatchInterrupts(OnInterrupt how) {
  struct sigaction action {};
  action.sa_handler = how == OnInterrupt::Unwind ? Note : EndAtOnce;
  sigemptyset(&action.sa_mask);
  for (int signal : kSignals) sigaddset(&action.sa_mask, signal);
  // A signal ignored from the start stays ignored: nohup's hangup, Ctrl-C
  // for a job a script put in the background.
  for (int signal : kSignals) {
    struct sigaction before {};
    if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
    sigaction(signal, &action, nullptr);
  }
}

void ThrowIfInterrupted(const std::string& after) {
  const int signal = caught;
  if (signal != 0) throw Interrupted(signal, std::string("interrupted by ") + SignalName(signal) + after);
}

}  // namespace kelvane
