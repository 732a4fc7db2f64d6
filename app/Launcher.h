// Plays one puzzle file by starting the Java runtime on the game program of its kind.
#pragma once
#include <windows.h>

#include <string>

// file: the puzzle's full path, plain or in double quotes; owner: the owner of the notice shown
// when the Java runtime is missing, or none.
void PlayPuzzle(const std::string& file, HWND owner);
