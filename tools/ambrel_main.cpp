// ambrel: writes and reads session files.
//   ambrel create SESSION.json OUT.db   a one-record Ambrel table from a JSON description
//   ambrel show FILE.db                 a table's first record as JSON

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include <QFile>

#include "session/paradox_table.h"
#include "tools/ambrel_json.h"
#include "tools/ambrel_show.h"
#include "tools/pxlib_writer.h"

namespace {

constexpr qint64 kMaxJsonSize = 1 << 20;

int Usage() {
  std::fputs("usage: ambrel create SESSION.json OUT.db\n       ambrel show FILE.db\n", stderr);
  return 2;
}

QByteArray ReadJson(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read " + path + ": " + file.errorString().toStdString());
  const QByteArray json = file.read(kMaxJsonSize + 1);
  if (json.size() > kMaxJsonSize) throw std::runtime_error(path + " is larger than 1 MiB");
  return json;
}

// Written beside the target and renamed, so a failure leaves no half table.
void Create(const std::string& jsonPath, const std::string& outPath) {
  kelvane::AmbrelTable table;
  try {
    table = kelvane::AmbrelFromJson(ReadJson(jsonPath));
  } catch (const kelvane::AmbrelJsonError& e) {
    throw std::runtime_error(jsonPath + ": " + e.what());
  }
  const std::string partial = outPath + ".part";
  try {
    kelvane::WritePxlibTable(partial, table.columns, {table.row});
    std::filesystem::rename(partial, outPath);
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove(partial, ignored);
    throw;
  }
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
  const std::string command = argc > 1 ? argv[1] : "";
  try {
    if (command == "create" && argc == 4) Create(argv[2], argv[3]);
    else if (command == "show" && argc == 3) Show(argv[2]);
    else return Usage();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ambrel: %s\n", e.what());
    return 1;
  }
  return 0;
}
