// The fixed Windows paths mapped onto the data directory.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "state/paths.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

class PathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("kelvane-paths-" + std::to_string(::getpid()));
    fs::create_directories(root);
    setenv("XDG_DATA_HOME", root.c_str(), 1);
    if (const char* home = std::getenv("HOME")) savedHome = home;
  }
  void TearDown() override {
    fs::remove_all(root);
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", savedHome.c_str(), 1);
  }
  fs::path root;
  std::string savedHome;
};

TEST_F(PathsTest, DataDirectoryFollowsXdgDataHomeThenHome) {
  EXPECT_EQ(DataDirectory(), root.string() + "/Kelvane");
  unsetenv("XDG_DATA_HOME");
  setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(DataDirectory(), "/home/someone/.local/share/Kelvane");
  unsetenv("HOME");
  const std::string withoutHome = DataDirectory();
  EXPECT_NE(withoutHome.rfind("/.local/share/Kelvane", 0), 0u) << "never a folder at the root";
  EXPECT_TRUE(withoutHome.ends_with("/.local/share/Kelvane"));
}

TEST_F(PathsTest, FixedDirectoriesMapWhateverTheLetterCase) {
  const std::string data = root.string() + "/Kelvane";
  EXPECT_EQ(HostPath("C:\\Kelvane\\Ambrels"), data + "/Ambrels");
  EXPECT_EQ(HostPath("c:\\Kelvane\\Audio_Information\\SEQ_2X.MID"), data + "/Audio_Information/SEQ_2X.MID");
  EXPECT_EQ(HostPath("c:\\kelvane\\Audio_Information\\"), data + "/Audio_Information/");
  EXPECT_EQ(HostPath("/tmp/other.db"), "/tmp/other.db");
}

TEST_F(PathsTest, FileNamesInsideMatchWithoutRegardToCase) {
  const fs::path audio = root / "Kelvane" / "Audio_Information";
  fs::create_directories(audio);
  std::ofstream(audio / "seq_3x.mid") << "x";
  std::ofstream(audio / "SEQ_1X.MID") << "x";
  EXPECT_EQ(HostPath("c:\\Kelvane\\Audio_Information\\SEQ_3X.MID"), (audio / "seq_3x.mid").string());
  EXPECT_EQ(HostPath("c:\\Kelvane\\Audio_Information\\SEQ_1X.MID"), (audio / "SEQ_1X.MID").string());
  EXPECT_EQ(HostPath("c:\\Kelvane\\Audio_Information\\SEQ_9X.MID"), (audio / "SEQ_9X.MID").string())
      << "a missing file keeps its name, so the error names it";
}

}  // namespace
}  // namespace kelvane
