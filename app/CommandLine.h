// What the program's command line asks of the window road.
#pragma once
#include <string>
#include <vector>

namespace app {

inline constexpr const char* kImportArgument = "--import";

// The collection files named after the first "--import", in their order; arguments[0] is the
// program's own path. Empty arguments are left out.
std::vector<std::string> ImportArguments(const std::vector<std::string>& arguments);

}  // namespace app
