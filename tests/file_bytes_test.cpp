// Reading a whole file that the user picked: only regular files, bounded.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "session/paradox_table.h"
#include "state/file_bytes.h"
#include "tests/fakes/temp_data_home.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

std::string Reason(const fs::path& path, std::size_t max = 100) {
  try {
    ReadRegularFile(path.string(), max, "too large");
    return "read";
  } catch (const FileReadError& e) {
    return e.what();
  }
}

TEST(FileBytesTest, ReadsRegularFilesWithinTheLimitAndRefusesEverythingElse) {
  testing::TempDataHome home;
  const fs::path dir = home.AudioDirectory();
  std::ofstream(dir / "ten.bin", std::ios::binary) << "0123456789";
  EXPECT_EQ(ReadRegularFile((dir / "ten.bin").string(), 10, "too large").size(), 10u);
  EXPECT_EQ(Reason(dir / "ten.bin", 9), "too large");
  EXPECT_EQ(Reason(dir / "missing.bin"), "No such file or directory");
  EXPECT_EQ(Reason(dir), "not a regular file");
  EXPECT_EQ(Reason("/dev/zero"), "not a regular file") << "a device would never end";
  ASSERT_EQ(mkfifo((dir / "pipe.db").c_str(), 0600), 0);
  EXPECT_EQ(Reason(dir / "pipe.db"), "not a regular file") << "a pipe must not wait for a writer";
}

TEST(FileBytesTest, APipePickedAsASessionTableIsRefusedAtOnce) {
  testing::TempDataHome home;
  const fs::path pipe = home.AudioDirectory() / "session.db";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  ParadoxTable table;
  table.SetTableName(pipe.string());
  try {
    table.Open();
    FAIL() << "opened a pipe";
  } catch (const std::exception& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open table " + pipe.string() + ": not a regular file");
  }
}

}  // namespace
}  // namespace kelvane
