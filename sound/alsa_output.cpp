#include "sound/alsa_output.h"

#include <dlfcn.h>

#include <algorithm>

#include "sound/fluid_log.h"

namespace kelvane {
namespace {

class AlsaOutput : public Output {
 public:
  explicit AlsaOutput(fluid_audio_driver_t* driver) : driver_(driver) {}
  ~AlsaOutput() override { delete_fluid_audio_driver(driver_); }
  std::string Name() const override { return "ALSA"; }

 private:
  fluid_audio_driver_t* driver_;
};

// The drivers hand over dry buffers and, depending on the driver, effect
// buffers or none; without them the effects go into the dry sound.
int RenderCallback(void* data, int len, int nfx, float* fx[], int nout, float* out[]) {
  for (int i = 0; i < nout; ++i) std::fill(out[i], out[i] + len, 0.0f);
  for (int i = 0; fx && i < nfx; ++i) std::fill(fx[i], fx[i] + len, 0.0f);
  auto& renderer = *static_cast<Renderer*>(data);
  if (nfx == 0 || fx == nullptr)
    renderer.Render(len, nout, out, nout, out);
  else
    renderer.Render(len, nfx, fx, nout, out);
  return FLUID_OK;
}

// libasound prints its own lines about missing cards straight to standard
// error; they are silenced while the driver is tried. Reached through the
// dynamic linker because the program does not link libasound itself.
using AlsaErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);
using AlsaSetErrorHandler = int (*)(AlsaErrorHandler);

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void SetAlsaErrorHandler(AlsaErrorHandler handler) {
  static auto set = reinterpret_cast<AlsaSetErrorHandler>(dlsym(RTLD_DEFAULT, "snd_lib_error_set_handler"));
  if (set) set(handler);
}


// About 12 ms a period, in whole blocks of FluidSynth's 64 frames. Its
// default of 64 frames wakes the driver 700 times a second; much larger
// periods delay the first note. Two periods are all the buffer ALSA gets.
void SetPeriod(fluid_settings_t* settings) {
  double rate = 44100;
  fluid_settings_getnum(settings, "synth.sample-rate", &rate);
  const int blocks = std::max(1, static_cast<int>(rate * 0.012 / 64));
  fluid_settings_setint(settings, "audio.period-size", blocks * 64);
  fluid_settings_setint(settings, "audio.periods", 2);
}

}  // namespace

std::unique_ptr<Output> OpenAlsaOutput(fluid_settings_t* settings, Renderer& renderer, std::string& failures) {
  SetPeriod(settings);
  FluidErrorCapture capture;
  SetAlsaErrorHandler(IgnoreAlsaError);
  fluid_audio_driver_t* driver = nullptr;
  if (fluid_settings_setstr(settings, "audio.driver", "alsa") == FLUID_OK)
    driver = new_fluid_audio_driver2(settings, RenderCallback, &renderer);
  SetAlsaErrorHandler(nullptr);
  if (driver) return std::make_unique<AlsaOutput>(driver);
  const std::string why = capture.Text();
  failures += std::string(failures.empty() ? "" : "; ") + "ALSA: " + (why.empty() ? "not available" : why);
  return nullptr;
}

}  // namespace kelvane
