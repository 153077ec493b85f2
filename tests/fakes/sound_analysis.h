#pragma once
// Measures on rendered sound: a spectrum, the pitch of a note, loudness, the
// likeness of two timbres, and a WAV writer for listening to a render.

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace kelvane::testing {

inline constexpr int kSampleRate = 44100;

inline int Frames(double seconds) { return static_cast<int>(std::lround(seconds * kSampleRate)); }

// Samples [from, to) seconds, clamped to the signal.
inline std::vector<float> Slice(const std::vector<float>& s, double from, double to) {
  auto a = static_cast<std::size_t>(std::clamp(Frames(from), 0, static_cast<int>(s.size())));
  auto b = static_cast<std::size_t>(std::clamp(Frames(to), 0, static_cast<int>(s.size())));
  return std::vector<float>(s.begin() + static_cast<long>(a), s.begin() + static_cast<long>(std::max(a, b)));
}

inline double Rms(const std::vector<float>& s) {
  double sum = 0;
  for (float x : s) sum += double{x} * x;
  return s.empty() ? 0 : std::sqrt(sum / static_cast<double>(s.size()));
}

// Magnitudes of a Hann-windowed, zero-padded 16384-point FFT (2.7 Hz a bin).
inline std::vector<double> Spectrum(const std::vector<float>& s) {
  constexpr std::size_t n = 16384;
  std::vector<std::complex<double>> a(n);
  const std::size_t m = std::min(n, s.size());
  for (std::size_t i = 0; i < m; ++i)
    a[i] = s[i] * 0.5 * (1 - std::cos(2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(m)));
  for (std::size_t i = 1, j = 0; i < n; ++i) {
    std::size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (std::size_t len = 2; len <= n; len <<= 1) {
    const std::complex<double> w = std::polar(1.0, -2 * std::numbers::pi / static_cast<double>(len));
    for (std::size_t i = 0; i < n; i += len) {
      std::complex<double> wk = 1;
      for (std::size_t k = 0; k < len / 2; ++k, wk *= w) {
        auto u = a[i + k], v = a[i + k + len / 2] * wk;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
      }
    }
  }
  std::vector<double> mag(n / 2);
  for (std::size_t i = 0; i < n / 2; ++i) mag[i] = std::abs(a[i]);
  return mag;
}

inline double BinHz() { return double{kSampleRate} / 16384; }

inline double KeyOfHz(double hz) { return 69 + 12 * std::log2(hz / 440); }

// The pitch, as a fractional MIDI key, of the note in `note`, after taking
// away what already sounded in `before`: the lowest spectral peak of at
// least a quarter of the strongest (the strongest alone is often the second
// harmonic), refined between bins. NaN when nothing sounds.
inline double PitchKey(const std::vector<float>& note, const std::vector<float>& before = {}) {
  std::vector<double> mag = Spectrum(note);
  if (!before.empty()) {
    std::vector<double> old = Spectrum(before);
    for (std::size_t i = 0; i < mag.size(); ++i) mag[i] = std::max(0.0, mag[i] - old[i]);
  }
  const auto lo = static_cast<std::size_t>(80 / BinHz()), hi = static_cast<std::size_t>(4000 / BinHz());
  double strongest = *std::max_element(mag.begin() + static_cast<long>(lo), mag.begin() + static_cast<long>(hi));
  if (strongest <= 0) return std::nan("");
  for (std::size_t i = lo; i < hi; ++i) {
    if (mag[i] < 0.25 * strongest || mag[i] < mag[i - 1] || mag[i] < mag[i + 1]) continue;
    double a = mag[i - 1], b = mag[i], c = mag[i + 1];
    double shift = (a - 2 * b + c) == 0 ? 0 : 0.5 * (a - c) / (a - 2 * b + c);
    return KeyOfHz((static_cast<double>(i) + shift) * BinHz());
  }
  return std::nan("");
}

// Magnitude spectrum averaged over the signal's consecutive windows.
inline std::vector<double> AverageSpectrum(const std::vector<float>& s) {
  std::vector<double> sum(8192);
  for (std::size_t at = 0; at + 16384 <= s.size(); at += 16384) {
    auto part = Spectrum(std::vector<float>(s.begin() + static_cast<long>(at), s.begin() + static_cast<long>(at + 16384)));
    for (std::size_t i = 0; i < sum.size(); ++i) sum[i] += part[i];
  }
  return sum;
}

// How alike two sounds' timbres are: the correlation of their average
// spectra in decibels (relative to each one's peak, 100 Hz to 8 kHz), so
// that the weak upper partials, which tell instruments apart, count as much
// as the strong fundamentals, which only tell the melody. 1 for the same shape.
inline double SpectralSimilarity(const std::vector<float>& x, const std::vector<float>& y) {
  auto decibels = [](const std::vector<float>& s) {
    auto a = AverageSpectrum(s);
    const double peak = *std::max_element(a.begin(), a.end());
    std::vector<double> db;
    for (auto i = static_cast<std::size_t>(100 / BinHz()); i < static_cast<std::size_t>(8000 / BinHz()); ++i)
      db.push_back(20 * std::log10(a[i] / peak + 1e-5));
    return db;
  };
  auto a = decibels(x), b = decibels(y);
  double ma = 0, mb = 0;
  for (std::size_t i = 0; i < a.size(); ++i) ma += a[i], mb += b[i];
  ma /= static_cast<double>(a.size()), mb /= static_cast<double>(b.size());
  double ab = 0, aa = 0, bb = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    ab += (a[i] - ma) * (b[i] - mb);
    aa += (a[i] - ma) * (a[i] - ma);
    bb += (b[i] - mb) * (b[i] - mb);
  }
  return ab / std::sqrt(aa * bb);
}

// 16-bit stereo PCM.
inline void WriteWav(const std::string& path, const std::vector<float>& left, const std::vector<float>& right) {
  std::ofstream out(path, std::ios::binary);
  auto put = [&](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  const auto frames = static_cast<std::uint32_t>(std::min(left.size(), right.size()));
  out.write("RIFF", 4);
  put(36 + frames * 4, 4);
  out.write("WAVEfmt ", 8);
  put(16, 4), put(1, 2), put(2, 2), put(kSampleRate, 4), put(kSampleRate * 4, 4), put(4, 2), put(16, 2);
  out.write("data", 4);
  put(frames * 4, 4);
  for (std::uint32_t i = 0; i < frames; ++i)
    for (float x : {left[i], right[i]})
      put(static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(std::clamp(x, -1.0f, 1.0f) * 32767))), 2);
}

}  // namespace kelvane::testing
