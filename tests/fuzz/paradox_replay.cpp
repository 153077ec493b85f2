// Replays the fuzz target without libFuzzer: every file named (or every file in
// a directory named) as it is, then a fixed number of deterministic mutations
// of each. A crash, a sanitizer report or an unexpected exception fails the run.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

using Bytes = std::vector<std::uint8_t>;

// A small fixed-seed generator, so a failing mutation can be replayed.
struct Lcg {
  std::uint64_t state;
  std::uint32_t Next() {
    state = state * 6364136223846793005u + 1442695040888963407u;
    return static_cast<std::uint32_t>(state >> 33);
  }
  std::size_t Below(std::size_t n) { return n == 0 ? 0 : Next() % n; }
};

// Mutations aimed at what the reader checks: header words, lengths, block links.
Bytes Mutate(const Bytes& seed, Lcg& rng) {
  static const std::uint8_t kInteresting[] = {0x00, 0x01, 0x02, 0x7F, 0x80, 0xFF, 0xFE, 0x10, 0x0C};
  Bytes b = seed;
  const int edits = 1 + static_cast<int>(rng.Below(4));
  for (int i = 0; i < edits && !b.empty(); ++i) {
    // Header bytes are hit more often than the rest.
    const std::size_t at = rng.Below(2) ? rng.Below(std::min<std::size_t>(b.size(), 0x200)) : rng.Below(b.size());
    switch (rng.Below(5)) {
      case 0: b[at] ^= static_cast<std::uint8_t>(1u << rng.Below(8)); break;
      case 1: b[at] = kInteresting[rng.Below(sizeof kInteresting)]; break;
      case 2: b[at] = static_cast<std::uint8_t>(rng.Next()); break;
      case 3: b.resize(at); break;
      default:
        if (at + 1 < b.size()) b[at] = b[at + 1] = 0xFF;
        break;
    }
  }
  return b;
}

bool ReadFile(const std::filesystem::path& path, Bytes& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

void Collect(const std::filesystem::path& path, std::vector<std::filesystem::path>& files) {
  if (std::filesystem::is_directory(path)) {
    for (const auto& entry : std::filesystem::directory_iterator(path))
      if (entry.is_regular_file() && entry.path().extension() != ".md") files.push_back(entry.path());
  } else {
    files.push_back(path);
  }
}

}  // namespace

// paradox_replay [-m MUTATIONS_PER_FILE] PATH...
int main(int argc, char** argv) {
  int mutations = 0;
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-m" && i + 1 < argc) mutations = std::atoi(argv[++i]);
    else Collect(arg, files);
  }
  long runs = 0;
  for (const auto& file : files) {
    Bytes seed;
    if (!ReadFile(file, seed)) {
      std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
      return 2;
    }
    LLVMFuzzerTestOneInput(seed.data(), seed.size());
    Lcg rng{std::hash<std::string>{}(file.filename().string())};
    for (int m = 0; m < mutations; ++m) {
      const Bytes input = Mutate(seed, rng);
      LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    runs += 1 + mutations;
  }
  std::printf("%zu seeds, %ld inputs replayed\n", files.size(), runs);
  return files.empty() ? 2 : 0;
}
