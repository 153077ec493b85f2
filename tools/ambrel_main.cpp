// ambrel: writes, reads, checks and exports session files.
//   ambrel create SESSION.json OUT.db   a one-record Ambrel table from a JSON description
//   ambrel show FILE.db                 a table's first record as JSON
//   ambrel check SESSION.db [...]       the session's pictures against the flash thresholds
//   ambrel render SESSION.db OUT [...]  the session as a sound file or a video

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "session/ambrel_json.h"
#include "session/paradox_table.h"
#include "session/record_json.h"
#include "tools/ambrel_check.h"
#include "tools/ambrel_render.h"

namespace {

constexpr char kUsage[] =
    "usage: ambrel create SESSION.json OUT.db\n"
    "       ambrel show FILE.db\n"
    "       ambrel check SESSION.db [--seconds N] [--tick-rate N] [--fps N] [--field WxH] [--json]\n"
    "       ambrel render SESSION.db OUT.wav|OUT.flac|OUT.mp4|OUT.webm [--cycles N] [--seconds N]\n"
    "                     [--tick-rate N] [--fps N]\n";

int Usage(const std::string& why = {}) {
  if (!why.empty()) std::fprintf(stderr, "ambrel: %s\n", why.c_str());
  std::fputs(kUsage, stderr);
  return 2;
}

// check: 0 passes, 1 fails, 2 an error; the other commands: 0 done, 1 an error.
int Check(const std::string& path, const std::vector<std::string>& words) {
  const auto options = kelvane::ParseAmbrelOptions(words, {"--seconds", "--tick-rate", "--fps", "--field", "--json"});
  try {
    return kelvane::CheckSession(path, options);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ambrel: %s\n", e.what());
    return 2;
  }
}

void Render(const std::string& path, const std::string& out, const std::vector<std::string>& words) {
  kelvane::RenderSessionTo(path, out, kelvane::ParseAmbrelOptions(words, {"--cycles", "--seconds", "--tick-rate", "--fps"}));
}

void Show(const std::string& path) {
  kelvane::ParadoxTable table;
  table.SetTableName(path);
  table.Open();
  if (!table.Data().firstRecord) throw std::runtime_error(path + ": the table has no record to show");
  const std::string json = kelvane::RecordAsJson(table.Data(), table.Blobs());
  std::fputs(json.c_str(), stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const std::string command = args.empty() ? "" : args[0];
  const auto after = [&](std::size_t n) { return std::vector<std::string>(args.begin() + static_cast<long>(std::min(n, args.size())), args.end()); };
  try {
    if (command == "create" && args.size() == 3) kelvane::CreateAmbrelTable(args[1], args[2]);
    else if (command == "show" && args.size() == 2) Show(args[1]);
    else if (command == "check" && args.size() >= 2) return Check(args[1], after(2));
    else if (command == "render" && args.size() >= 3) Render(args[1], args[2], after(3));
    else return Usage();
  } catch (const kelvane::UsageError& e) {
    return Usage(e.what());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ambrel: %s\n", e.what());
    return 1;
  }
  return 0;
}
