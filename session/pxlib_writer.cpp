#include "session/pxlib_writer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>

// pxlib's header declares C functions without saying so.
extern "C" {
#include <paradox.h>
}

#include "session/paradox_reader.h"

namespace kelvane {
namespace {

namespace pt = paradox_type;

void OnPxlibError(pxdoc_t*, int level, const char* message, void* data) {
  if (level == PX_Warning) return;
  auto& errors = *static_cast<std::string*>(data);
  if (errors.empty()) errors = message ? message : "unknown pxlib error";
}
void* PxAlloc(pxdoc_t*, size_t size, const char*) { return std::malloc(size); }
void* PxRealloc(pxdoc_t*, void* mem, size_t size, const char*) { return std::realloc(mem, size); }
void PxFree(pxdoc_t*, void* mem) { std::free(mem); }

// One pxlib document, closed and freed however the writing ends.
class PxDocument {
 public:
  PxDocument() : doc_(PX_new3(OnPxlibError, PxAlloc, PxRealloc, PxFree, &errors_)) {
    if (!doc_) throw PxlibError("pxlib could not start");
  }
  // PX_close closes and deletes the .MB file's object too.
  ~PxDocument() {
    if (created_) PX_close(doc_);
    PX_delete(doc_);
  }
  PxDocument(const PxDocument&) = delete;
  PxDocument& operator=(const PxDocument&) = delete;

  pxdoc_t* get() const { return doc_; }
  void Created() { created_ = true; }
  // pxlib writes blobs that do not fit their record part to this file.
  void CreateMemoFile(const std::string& path) {
    pxblob_t* blob = PX_new_blob(doc_);  // the document keeps it
    if (!blob || PX_create_blob_file(blob, path.c_str()) < 0) Fail("cannot create " + path);
  }
  [[noreturn]] void Fail(const std::string& what) const {
    throw PxlibError(what + (errors_.empty() ? "" : ": " + errors_));
  }

 private:
  std::string errors_;
  pxdoc_t* doc_;
  bool created_ = false;
};

bool IsBlob(std::uint8_t type) {
  return type == pt::kMemoBlob || type == pt::kFormattedMemo || type == pt::kBlob || type == pt::kOle ||
         type == pt::kGraphic;
}

// Paradox keeps up to 240 bytes of a blob in the record, at least one of a
// memo, before the 10 bytes that say where the whole of it lies.
bool BlobSizeFits(const PxColumn& c) {
  const bool memo = c.type == pt::kMemoBlob || c.type == pt::kFormattedMemo;
  return c.size >= (memo ? 11 : 10) && c.size <= 250;
}

void CheckColumn(const PxColumn& c) {
  const bool fits = IsBlob(c.type) ? BlobSizeFits(c)
                    : c.type == pt::kAlpha ? c.size >= 1 && c.size <= 255
                    : c.type == pt::kShort ? c.size == 2
                    : c.type == pt::kLong || c.type == pt::kAutoInc || c.type == pt::kDate ? c.size == 4
                    : c.type == pt::kNumber || c.type == pt::kCurrency ? c.size == 8
                    : c.type == pt::kLogical && c.size == 1;
  if (!fits) throw PxlibError("column '" + c.name + "' has a type or size the writer does not handle");
}

void PutCell(const PxDocument& px, char* at, const PxColumn& c, const PxCell& cell) {
  if (std::holds_alternative<std::monostate>(cell)) return;  // the record starts all zero: a null
  pxdoc_t* doc = px.get();
  if (IsBlob(c.type)) {
    const auto* data = std::get_if<std::string>(&cell);
    if (!data) throw PxlibError("column '" + c.name + "' needs a text or bytes");
    std::string copy = *data;  // pxlib wants a writable buffer
    if (PX_put_data_blob(doc, at, c.size, copy.data(), static_cast<int>(copy.size())) < 0)
      px.Fail("cannot write the blob of column '" + c.name + "'");
  } else if (c.type == pt::kAlpha) {
    const auto* text = std::get_if<std::string>(&cell);
    if (!text || text->size() > static_cast<std::size_t>(c.size))
      throw PxlibError("column '" + c.name + "' needs a text of at most " + std::to_string(c.size) + " bytes");
    std::string copy = *text;  // pxlib wants a writable NUL-terminated text
    PX_put_data_alpha(doc, at, c.size, copy.data());
  } else if (c.type == pt::kNumber || c.type == pt::kCurrency) {
    const auto* i = std::get_if<std::int32_t>(&cell);
    const auto* d = std::get_if<double>(&cell);
    if (!i && !d) throw PxlibError("column '" + c.name + "' needs a number");
    PX_put_data_double(doc, at, c.size, d ? *d : *i);
  } else {
    const auto* i = std::get_if<std::int32_t>(&cell);
    if (!i) throw PxlibError("column '" + c.name + "' needs an integer");
    if (c.type == pt::kShort) PX_put_data_short(doc, at, c.size, static_cast<short>(*i));
    else if (c.type == pt::kLogical) PX_put_data_byte(doc, at, c.size, static_cast<char>(*i != 0));
    else PX_put_data_long(doc, at, c.size, *i);
  }
}

}  // namespace

void WritePxlibTable(const std::string& path, const std::vector<PxColumn>& columns, const std::vector<PxRow>& rows,
                     const std::string& password, int codePage) {
  if (columns.empty()) throw PxlibError("a table needs at least one column");
  std::size_t recordSize = 0;
  for (const PxColumn& c : columns) {
    CheckColumn(c);
    recordSize += static_cast<std::size_t>(c.size);
  }
  PxDocument px;
  pxdoc_t* doc = px.get();
  // pxlib takes over the field list and frees it with the allocator given above.
  auto* fields = static_cast<pxfield_t*>(doc->malloc(doc, columns.size() * sizeof(pxfield_t), "fields"));
  for (std::size_t i = 0; i < columns.size(); ++i) {
    fields[i].px_fname = PX_strdup(doc, columns[i].name.c_str());
    fields[i].px_ftype = static_cast<char>(columns[i].type);
    fields[i].px_flen = columns[i].size;
    fields[i].px_fdc = 0;
  }
  if (PX_create_file(doc, fields, static_cast<int>(columns.size()), path.c_str(), pxfFileTypNonIndexDB) < 0)
    px.Fail("cannot create " + path);
  px.Created();
  if (!password.empty() && PX_set_parameter(doc, "password", password.c_str()) < 0) px.Fail("cannot set the password");
  if (codePage > 0 && PX_set_value(doc, "codepage", static_cast<float>(codePage)) < 0) px.Fail("cannot set the code page");
  if (std::any_of(columns.begin(), columns.end(), [](const PxColumn& c) { return IsBlob(c.type); }))
    px.CreateMemoFile(PxlibMemoPath(path));
  std::vector<char> record(recordSize);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    if (rows[r].size() != columns.size()) throw PxlibError("row " + std::to_string(r + 1) + " has the wrong number of cells");
    std::fill(record.begin(), record.end(), 0);
    std::size_t offset = 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      PutCell(px, record.data() + offset, columns[i], rows[r][i]);
      offset += static_cast<std::size_t>(columns[i].size);
    }
    if (PX_put_recordn(doc, record.data(), static_cast<int>(r)) < 0) px.Fail("cannot write record " + std::to_string(r + 1));
  }
}

std::string PxlibMemoPath(const std::string& tablePath) {
  const std::filesystem::path table(tablePath);
  return std::filesystem::path(table).replace_extension(table.extension() == ".db" ? ".mb" : ".MB").string();
}

}  // namespace kelvane
