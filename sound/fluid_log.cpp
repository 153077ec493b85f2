#include "sound/fluid_log.h"

#include <fluidsynth.h>

#include <cstdio>
#include <mutex>

namespace kelvane {
namespace {

std::mutex logMutex;
std::string* captured = nullptr;  // the newest FluidErrorCapture's text

void LogError(int, const char* message, void*) {
  std::lock_guard lock(logMutex);
  if (captured) {
    if (!captured->empty()) *captured += "; ";
    *captured += message;
  } else {
    std::fprintf(stderr, "fluidsynth: error: %s\n", message);
  }
}

}  // namespace

void QuietFluidSynthLog() {
  fluid_set_log_function(FLUID_ERR, LogError, nullptr);
  fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
  fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
  fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
}

FluidErrorCapture::FluidErrorCapture() {
  QuietFluidSynthLog();
  std::lock_guard lock(logMutex);
  previous_ = captured;
  captured = &text_;
}

FluidErrorCapture::~FluidErrorCapture() {
  std::lock_guard lock(logMutex);
  captured = previous_;
}

std::string FluidErrorCapture::Text() const {
  std::lock_guard lock(logMutex);
  return text_;
}

}  // namespace kelvane
