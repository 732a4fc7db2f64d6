// The program's own file and folder, and simple questions about the file system.
#pragma once
#include <optional>
#include <string>

#include "win/Handles.h"

namespace win {

// Opens a file or folder only to read its attributes, every sharing mode allowed: holding the
// handle must not stop anyone from deleting or renaming it. Empty when it cannot be opened.
UniqueHandle OpenForAttributes(const std::string& path);

std::string ProgramFileName();
// The running program's folder, ending in a backslash.
std::string ProgramFolder();
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// The folder itself when it exists, else its nearest ancestor that does; empty when none does.
std::string NearestExistingFolder(const std::string& path);
// Creates the folder and every missing parent; answers whether the folder exists afterwards.
bool ForceDirectories(const std::string& path);
std::string EnvironmentVariable(const std::string& name);
// The path made absolute against the current folder (GetFullPathNameA); empty stays empty, and a
// path the system cannot resolve stays as given.
std::string FullPath(const std::string& path);
// The text with every %NAME% of a defined environment variable replaced by its value.
std::string ExpandEnvironment(const std::string& text);
// Upper case under the system locale.
std::string UpperCase(std::string text);
// Wide text in the system's code page; empty for none.
std::string AnsiText(const wchar_t* text);
// The same text only when every character has its form in the code page.
std::optional<std::string> ExactAnsiText(const wchar_t* text);
// Text in the system's code page made wide.
std::wstring WideText(const std::string& text);

}  // namespace win
