#include "state/file_bytes.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvane {
namespace {

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

[[noreturn]] void FailWithErrno() { throw FileReadError(std::strerror(errno)); }

}  // namespace

std::vector<std::uint8_t> ReadRegularFile(const std::string& path, std::size_t maxBytes, const std::string& tooLarge) {
  // Non-blocking, so that opening a pipe does not wait for a writer.
  const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0) FailWithErrno();
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) FailWithErrno();
  if (!S_ISREG(info.st_mode)) throw FileReadError("not a regular file");
  if (info.st_size < 0 || static_cast<std::uint64_t>(info.st_size) > maxBytes) throw FileReadError(tooLarge);
  // One byte more than the size, so a file that grew after fstat is caught too.
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size) + 1);
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(fd.get(), bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) FailWithErrno();
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  if (got > maxBytes) throw FileReadError(tooLarge);
  bytes.resize(got);
  return bytes;
}

}  // namespace kelvane
