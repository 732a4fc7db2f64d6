// Where a Java runtime is found without a scan, when no folder is stored and the search path has
// none: JAVA_HOME, then the current version recorded by the Java installers in the registry (both
// views), then the usual install folders under both Program Files folders. Each place that does
// not hold javaw.exe, or holds something of the wrong kind, is passed over quietly, and so is
// every place that names a relative folder.
#pragma once
#include <string>
#include <vector>

namespace jre {

// The folder of javaw.exe found along the absolute entries of the search path, in their order,
// with a trailing backslash; empty when it is not found or its path does not fit 260 characters.
// The current folder and relative entries are never searched: a javaw.exe planted beside an
// opened puzzle must not run.
std::string SearchJavaFolder();

// The folders that may hold javaw.exe, in the order they are tried, each with a trailing backslash.
std::vector<std::string> JavaFolderCandidates();

// The first candidate folder that holds javaw.exe, or nothing.
std::string DiscoverJavaFolder();

// The version of the runtime in the folder, from its javaw.exe's version resource (no process is
// started): the product version, else the file version; nothing when none can be read.
std::string RuntimeVersion(const std::string& folder);
// Whether the folder holds javaw.exe.
bool HoldsRuntime(const std::string& folder);

}  // namespace jre
