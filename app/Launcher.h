// Plays one puzzle file by starting the Java runtime on the game program of its kind.
#pragma once
#include <windows.h>

#include <string>

class Settings;

// file: the puzzle's full path, plain or in double quotes; owner: the owner of the notice shown
// when the Java runtime is missing, or none.
// The Java runtime comes from the settings; one found along the search path is kept there for the
// rest of the run.
void PlayPuzzle(Settings& settings, const std::string& file, HWND owner);
