#pragma once
// A PulseAudio server of the test's own, with a null sink whose monitor parec
// records: the sound server desktops run, without touching the user's.
// PULSE_SERVER points at it while it lives. Under tests/e2e/with_pipewire.sh
// it is PipeWire's PulseAudio server instead, with the same sink, which the
// script runs and stops.

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "state/temporary_directory.h"

extern char** environ;

namespace kelvane::testing {

// Runs a command line through the shell; its exit status.
inline int Shell(const std::string& command) { return std::system(command.c_str()); }

inline bool HavePulseTools() { return Shell("command -v pulseaudio pactl parec >/dev/null 2>&1") == 0; }

class PrivatePulseServer {
 public:
  static constexpr const char* kSink = "kelvane_test";

  PrivatePulseServer() {
    if (const char* socket = std::getenv("KELVANE_TEST_SOUND_SERVER")) {
      external_ = socket;
      setenv("PULSE_SERVER", ("unix:" + external_).c_str(), 1);
      return;
    }
    std::filesystem::create_directories(dir_ / "runtime");
    std::filesystem::permissions(dir_ / "runtime", std::filesystem::perms::owner_all);
    const std::string env = "HOME=" + dir_.string() + " XDG_RUNTIME_DIR=" + (dir_ / "runtime").string();
    const std::string start = env +
                              " pulseaudio -n --daemonize=yes --exit-idle-time=-1 --use-pid-file=yes"
                              " --load='module-null-sink sink_name=" + kSink +
                              "' --load='module-native-protocol-unix socket=" + Socket() + "' >" +
                              (dir_ / "log").string() + " 2>&1";
    if (Shell(start) != 0) throw std::runtime_error("PulseAudio did not start: " + Log());
    setenv("PULSE_SERVER", ("unix:" + Socket()).c_str(), 1);
    for (int i = 0; i < 100 && Shell("pactl info >/dev/null 2>&1") != 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  // The server is no child of ours; it removes its pid file as it exits, and
  // until then it still writes into its directory, which would outlive us.
  ~PrivatePulseServer() {
    const auto pidPath = dir_ / "runtime" / "pulse" / "pid";
    if (const pid_t pid = Pid(); pid > 0) {
      kill(pid, SIGCONT);
      if (external_.empty()) kill(pid, SIGTERM);
    }
    for (int i = 0; i < 250 && std::filesystem::exists(pidPath); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    unsetenv("PULSE_SERVER");
  }
  PrivatePulseServer(const PrivatePulseServer&) = delete;
  PrivatePulseServer& operator=(const PrivatePulseServer&) = delete;

  std::string Socket() const { return external_.empty() ? (dir_ / "socket").string() : external_; }
  // The streams playing into the server now, one line each.
  std::string SinkInputs() const { return Output("pactl list short sink-inputs"); }
  // The same with every property, as a desktop's mixer sees them.
  std::string SinkInputProperties() const { return Output("pactl list sink-inputs"); }
  // SIGSTOP and SIGCONT: a server that has accepted its clients and then
  // never answers them, and the same server back.
  void Freeze(bool frozen) const {
    if (const pid_t pid = Pid(); pid > 0) kill(pid, frozen ? SIGSTOP : SIGCONT);
  }

 private:
  pid_t Pid() const {
    if (!external_.empty()) {
      const char* pid = std::getenv("KELVANE_TEST_SOUND_SERVER_PID");
      return pid ? static_cast<pid_t>(std::atoi(pid)) : 0;
    }
    std::ifstream pidFile(dir_ / "runtime" / "pulse" / "pid");
    pid_t pid = 0;
    return pidFile >> pid ? pid : 0;
  }
  std::string Log() const {
    std::ifstream in(dir_ / "log");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static std::string Output(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
      char buffer[256];
      while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
      pclose(pipe);
    }
    return out;
  }

  std::string external_;  // the socket of a server run by someone else
  TemporaryDirectory temporary_{"kelvane-pulse"};
  std::filesystem::path dir_ = temporary_.Path();
};

// parec on the null sink's monitor, mono 32-bit float at 44.1 kHz, into a
// file, from construction until Stop.
class MonitorRecording {
 public:
  MonitorRecording(const PrivatePulseServer& server, std::filesystem::path file) : file_(std::move(file)) {
    const std::string command = "PULSE_SERVER=unix:" + server.Socket() + " exec parec --device=" +
                                std::string(PrivatePulseServer::kSink) +
                                ".monitor --format=float32le --rate=44100 --channels=1 --raw --latency-msec=20 >" +
                                file_.string();
    std::vector<char*> argv = {const_cast<char*>("sh"), const_cast<char*>("-c"), const_cast<char*>(command.c_str()),
                               nullptr};
    if (posix_spawnp(&pid_, "sh", nullptr, nullptr, argv.data(), environ) != 0)
      throw std::runtime_error("cannot start parec");
  }
  ~MonitorRecording() { Stop(); }
  MonitorRecording(const MonitorRecording&) = delete;
  MonitorRecording& operator=(const MonitorRecording&) = delete;

  // Ends the recording and returns its samples.
  std::vector<float> Stop() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
      pid_ = 0;
    }
    std::ifstream in(file_, std::ios::binary);
    std::vector<float> samples;
    float x;
    while (in.read(reinterpret_cast<char*>(&x), sizeof x)) samples.push_back(x);
    return samples;
  }

 private:
  std::filesystem::path file_;
  pid_t pid_ = 0;
};

}  // namespace kelvane::testing
