#include "sound/fluid_log.h"

#include <fluidsynth.h>

#include <cstdio>
#include <mutex>

namespace kelvane {
namespace {

std::mutex logMutex;
std::string* captured = nullptr;  // set while a FluidErrorCapture exists

void LogError(int, const char* message, void*) {
  std::lock_guard lock(logMutex);
  if (captured) {
    if (!captured->empty()) *captured += "; ";
    *captured += message;
  } else {
    std::fprintf(stderr, "fluidsynth: error: %s\n", message);
  }
}

std::string captureText;

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
  captureText.clear();
  captured = &captureText;
}

FluidErrorCapture::~FluidErrorCapture() {
  std::lock_guard lock(logMutex);
  captured = nullptr;
}

std::string FluidErrorCapture::Text() const {
  std::lock_guard lock(logMutex);
  return captureText;
}

}  // namespace kelvane
