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
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/fuzz/paradox_fuzz_input.h"

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

// Where an edit lands: a third anywhere, the rest in what the readers check
// most. In a table, the header and the start of the first data block with its
// first record; in a .MB file, block heads and the slots a writer fills first.
std::size_t TablePosition(const Bytes& b, Lcg& rng) {
  const std::size_t headerSize = b.size() >= 4 ? static_cast<std::size_t>(b[2] | b[3] << 8) : 0;
  switch (rng.Below(3)) {
    case 0: return rng.Below(b.size());
    case 1: return rng.Below(std::min<std::size_t>(b.size(), 0x200));
    default: return std::min(b.size() - 1, headerSize + rng.Below(0x100));
  }
}

std::size_t MemoPosition(const Bytes& b, Lcg& rng) {
  constexpr std::size_t kLastSlots = 12 + 59 * 5;  // slots 59 to 63 of a suballocated block
  const std::size_t block = rng.Below((b.size() + 0xFFF) / 0x1000) * 0x1000;
  switch (rng.Below(3)) {
    case 0: return rng.Below(b.size());
    case 1: return std::min(b.size() - 1, block + rng.Below(16));
    default: return std::min(b.size() - 1, block + kLastSlots + rng.Below(25));
  }
}

// Mutations aimed at what the readers check: header words, lengths, block
// links, block types and slots.
void Edit(Bytes& b, std::size_t at, Lcg& rng) {
  static const std::uint8_t kInteresting[] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x7F, 0x80, 0xFF, 0xFE, 0x10, 0x0C};
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

// Edits the table and, when the seed carries one, its .MB file, each apart so
// that a truncation of one leaves the other whole.
Bytes Mutate(const Bytes& seed, Lcg& rng) {
  const kelvane::fuzz::FuzzInput parts = kelvane::fuzz::SplitFuzzInput(seed);
  Bytes table(parts.table.begin(), parts.table.end());
  std::optional<Bytes> memo;
  if (parts.memoFile) memo.emplace(parts.memoFile->begin(), parts.memoFile->end());
  const int edits = 1 + static_cast<int>(rng.Below(4));
  for (int i = 0; i < edits; ++i) {
    if (memo && rng.Below(2)) {
      if (!memo->empty()) Edit(*memo, MemoPosition(*memo, rng), rng);
    } else if (!table.empty()) {
      Edit(table, TablePosition(table, rng), rng);
    }
  }
  if (memo) {
    table.insert(table.end(), kelvane::fuzz::kMemoFileMark.begin(), kelvane::fuzz::kMemoFileMark.end());
    table.insert(table.end(), memo->begin(), memo->end());
  }
  return table;
}

bool ReadFile(const std::filesystem::path& path, Bytes& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

// A seed folder that is absent (the shared fixtures beside a clone) is
// skipped with a word; a named file that is absent is an error.
void Collect(const std::filesystem::path& path, std::vector<std::filesystem::path>& files) {
  if (!std::filesystem::exists(path) && !path.has_extension()) {
    std::fprintf(stderr, "skipping %s: no such folder\n", path.string().c_str());
    return;
  }
  if (std::filesystem::is_directory(path)) {
    for (const auto& entry : std::filesystem::directory_iterator(path))
      if (entry.is_regular_file() && entry.path().extension() != ".md") files.push_back(entry.path());
  } else {
    files.push_back(path);
  }
}

// Runs the target on an exactly sized copy, as libFuzzer does: a vector may
// hold more than its size, and a read past the input into that spare room
// would go unseen by the sanitizer.
void Run(const Bytes& input) {
  const auto exact = std::make_unique_for_overwrite<std::uint8_t[]>(input.size());
  std::copy(input.begin(), input.end(), exact.get());
  LLVMFuzzerTestOneInput(exact.get(), input.size());
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
    Run(seed);
    Lcg rng{std::hash<std::string>{}(file.filename().string())};
    for (int m = 0; m < mutations; ++m) {
      Run(Mutate(seed, rng));
    }
    runs += 1 + mutations;
  }
  std::printf("%zu seeds, %ld inputs replayed\n", files.size(), runs);
  return files.empty() ? 2 : 0;
}
