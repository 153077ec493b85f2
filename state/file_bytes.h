#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace kelvane {

// Raised with the reason alone; callers add which file and what it was for.
class FileReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The whole of a regular file of at most maxBytes. A named pipe or a device
// is refused before it is read from, so picking one can never block the
// program; a larger file is refused with tooLarge.
std::vector<std::uint8_t> ReadRegularFile(const std::string& path, std::size_t maxBytes, const std::string& tooLarge);

}  // namespace kelvane
