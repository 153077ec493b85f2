// ambrel: writes, reads, checks and exports session files.
//   ambrel create SESSION.json OUT.db   a one-record Ambrel table from a JSON description
//   ambrel show FILE.db                 a table's first record as JSON
//   ambrel check SESSION.db [...]       the session's pictures against the flash thresholds
//   ambrel render SESSION.db OUT [...]  the session as a sound file or a video
// Exit codes, the same for every command: 0 done (check: passes), 1 check
// fails, 2 an error or a wrong command line, 128 and the signal's number
// when interrupted (130 Ctrl-C, 143 SIGTERM, 129 SIGHUP).

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "session/ambrel_json.h"
#include "session/paradox_table.h"
#include "session/record_json.h"
#include "tools/ambrel_check.h"
#include "tools/ambrel_options.h"
#include "tools/ambrel_render.h"
#include "tools/interrupt.h"

namespace {

constexpr int kError = 2;

constexpr char kUsage[] =
    "usage: ambrel create SESSION.json OUT.db\n"
    "       ambrel show FILE.db\n"
    "       ambrel check SESSION.db [--seconds N] [--tick-rate N] [--pulse COUNTER,up|down[,MS]] [--fps N]\n"
    "                    [--field WxH] [--window WxH] [--json] [--csv FILE] [--plot FILE.png]\n"
    "       ambrel render SESSION.db OUT.wav|OUT.flac|OUT.mp4|OUT.webm [--cycles N] [--seconds N]\n"
    "                     [--tick-rate N] [--pulse COUNTER,up|down[,MS]] [--fps N]\n";

int Usage(const std::string& why = {}) {
  if (!why.empty()) std::fprintf(stderr, "ambrel: %s\n", why.c_str());
  std::fputs(kUsage, stderr);
  return kError;
}

void Show(const std::string& path) {
  kelvane::ParadoxTable table;
  table.SetTableName(path);
  table.Open();
  if (!table.Data().firstRecord) throw std::runtime_error(path + ": the table has no record to show");
  const std::string json = kelvane::RecordAsJson(table.Data(), table.Blobs());
  std::fputs(json.c_str(), stdout);
}

int Run(const kelvane::AmbrelCommand& c) {
  if (c.name == "create") kelvane::CreateAmbrelTable(c.files[0], c.files[1]);
  else if (c.name == "show") Show(c.files[0]);
  else if (c.name == "check") return kelvane::CheckFile(c);
  else if (c.name == "render") kelvane::RenderSessionTo(c.files[0], c.files[1], c.render);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const kelvane::AmbrelCommand command = kelvane::ParseAmbrelCommand(std::vector<std::string>(argv + 1, argv + argc));
    // A render stops at its next step and removes its unfinished file; the
    // others have nothing on disk to remove by then (the renderer's
    // temporary templates are gone once the session is open).
    kelvane::CatchInterrupts(command.name == "render" ? kelvane::OnInterrupt::Unwind : kelvane::OnInterrupt::AtOnce);
    return Run(command);
  } catch (const kelvane::Interrupted& e) {
    std::fprintf(stderr, "ambrel: %s\n", e.what());
    return e.ExitCode();
  } catch (const kelvane::UsageError& e) {
    return Usage(e.what());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ambrel: %s\n", e.what());
    return kError;
  }
}
