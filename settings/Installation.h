// The installation record: where the program is installed and which version it is.
#pragma once
#include <string>

#include "win/VersionResource.h"

// The program's file version, each part at least two characters wide: 01.00.02.01.
std::string ProgramVersionText(const VersionResource& info);
// The long form of a path, or the path itself when there is none.
std::string LongPathName(const std::string& path);
