#include "editor/document_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include "editor/document_json.h"
#include "editor/document_reader.h"
#include "session/paradox_table.h"
#include "toolkit/text.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

std::string SystemError(const std::string& what) { return what + ": " + std::strerror(errno); }

// A new, empty file beside the target, made with the user's umask like any
// new file of theirs. Hidden, so a file manager does not show it meanwhile.
std::string CreateSiblingFile(const fs::path& target) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path sibling = target.parent_path() / ("." + target.filename().string() + "." +
                                                     std::to_string(random() % 1000000) + ".saving");
    const int fd = ::open(sibling.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      return sibling.string();
    }
    if (errno != EEXIST) throw DocumentError(SystemError("cannot write in " + target.parent_path().string()));
  }
  throw DocumentError("cannot find a free name beside " + target.string());
}

void SyncFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 || ::fsync(fd) != 0) {
    const std::string error = SystemError("cannot write " + path + " to disk");
    if (fd >= 0) ::close(fd);
    throw DocumentError(error);
  }
  ::close(fd);
}

// What was written must read back as the document, through the reader that
// Kelvane itself reads sessions with.
void CheckWritten(const std::string& path, const SessionDocument& document) {
  ParadoxTable table;
  table.SetTableName(path);
  table.Open();
  const LoadedDocument back = ReadDocument(table, table.Data().codePage);
  if (!(back.document == document) || !back.problems.empty())
    throw DocumentError("the written table does not read back as the session");
}

void WriteAndReplace(const SessionDocument& document, const fs::path& target) {
  const AmbrelTable table = AmbrelTableOf(document);
  const std::string sibling = CreateSiblingFile(target);
  try {
    WritePxlibTable(sibling, table.columns, {table.row});
    CheckWritten(sibling, document);
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) ::chmod(sibling.c_str(), old.st_mode & 07777);
    SyncFile(sibling);
    std::error_code error;
    fs::rename(sibling, target, error);
    if (error) throw DocumentError("cannot replace " + target.string() + ": " + error.message());
  } catch (...) {
    std::error_code ignored;
    fs::remove(sibling, ignored);
    throw;
  }
  // The rename reaches the disk with the directory; the file is saved either
  // way, so a directory that cannot be synced is no failure of the save.
  const int dir = ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

}  // namespace

void SaveAmbrelDocument(const SessionDocument& document, const std::string& path) {
  try {
    const fs::path target = fs::absolute(fs::path(path));
    if (fs::is_directory(target)) throw DocumentError(target.string() + " is a folder");
    WriteAndReplace(document, target);
  } catch (const std::exception& error) {
    throw DocumentError("Cannot save " + ExtractFileName(path) + ": " + error.what());
  }
}

}  // namespace kelvane
