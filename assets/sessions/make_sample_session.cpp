// Writes one sample session from its JSON description at build time, with
// the code `ambrel create` uses: make_sample_session SESSION.json OUT.db
#include <cstdio>
#include <exception>

#include "session/ambrel_json.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: make_sample_session SESSION.json OUT.db\n", stderr);
    return 2;
  }
  try {
    kelvane::CreateAmbrelTable(argv[1], argv[2]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_sample_session: %s\n", e.what());
    return 1;
  }
  return 0;
}
