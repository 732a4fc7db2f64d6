// The program's own file and folder, and simple questions about the file system.
#pragma once
#include <string>

namespace win {

std::string ProgramFileName();
// The running program's folder, ending in a backslash.
std::string ProgramFolder();
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Creates the folder and every missing parent; answers whether the folder exists afterwards.
bool ForceDirectories(const std::string& path);
std::string EnvironmentVariable(const std::string& name);
// Upper case under the system locale.
std::string UpperCase(std::string text);

}  // namespace win
