// The type a file manager sees for a session: the package's shared-mime-info
// rules, read by Qt's own MIME database, on files that are all named .db.

#include <gtest/gtest.h>

#include <QMimeDatabase>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "session/ambrel_json.h"
#include "session/paradox_reader.h"
#include "session/pxlib_writer.h"
#include "state/temporary_directory.h"

namespace kelvane {
namespace {

constexpr char kSessionType[] = "application/x-kelvane-ambrel";

TEST(MimeTypeTest, ASessionIsKnownByItsParadoxHeaderNotByItsName) {
  TemporaryDirectory dir("kelvane-mime");
  const std::filesystem::path root = dir.Path();
  std::filesystem::create_directories(root / "mime" / "packages");
  std::filesystem::copy_file(std::filesystem::path(KELVANE_SOURCE_DIR) / "packaging" / "kelvane-mime.xml",
                             root / "mime" / "packages" / "kelvane.xml");
  // Read before the database is first used; Qt reads the rules' XML itself.
  setenv("XDG_DATA_DIRS", (root.string() + ":/usr/share").c_str(), 1);

  const AmbrelTable session = AmbrelFromJson(R"({"Rows": [[1,2,3,4,5,6,7,8,9,10,11,12,13]]})");
  WritePxlibTable((root / "session.db").string(), session.columns, {session.row});
  WritePxlibTable((root / "session").string(), session.columns, {session.row});
  WritePxlibTable((root / "numbers.db").string(), {{"InstrumentSel", paradox_type::kShort, 2}}, {{std::int32_t{7}}});
  std::ofstream(root / "sqlite.db", std::ios::binary) << std::string("SQLite format 3\0", 16) << std::string(2032, '\0');
  std::ofstream(root / "notes.db") << "InstrumentSel NumSelItems\n";

  QMimeDatabase db;
  const auto type = [&](const char* name) {
    return db.mimeTypeForFile(QString::fromStdString((root / name).string())).name().toStdString();
  };
  EXPECT_EQ(type("session.db"), kSessionType);
  EXPECT_EQ(type("session"), kSessionType) << "known by its contents, whatever its name";
  EXPECT_NE(type("numbers.db"), kSessionType) << "a Paradox table of other columns";
  EXPECT_NE(type("sqlite.db"), kSessionType);
  EXPECT_NE(type("notes.db"), kSessionType) << "the column names alone";
}

}  // namespace
}  // namespace kelvane
