#pragma once

#include <string>
#include <string_view>

namespace kelvane {

// A UTF-8 text as a JSON string, quotes included: quotes, backslashes and
// control characters escaped, everything else kept as it is.
std::string JsonString(std::string_view utf8);

}  // namespace kelvane
