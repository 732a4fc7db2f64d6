// Files dropped on the main window: puzzle files are copied into the repository, collections wait
// for the import dialog, and everything else is reported.
#pragma once
#include <windows.h>

#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

namespace puzzles {

// The paths of a drop, in the shell's order. The caller still owns the drop.
std::vector<std::wstring> DroppedPaths(HDROP drop);

struct DropOutcome {
    // The collection files, in the drop's order, for the import dialog.
    std::vector<std::string> Collections;
    // The message for what could not be taken; empty when everything was.
    std::string Report;
};

// Copies every puzzle file of the drop into the repository with the failure-safe write, under its
// own name or, when that is taken, the first free " (2)", " (3)" form of it: nothing is
// overwritten. Sorts out the rest; a file that fails never stops the others.
DropOutcome ReceiveDroppedFiles(const std::vector<std::wstring>& paths, const std::string& repository);

// Why the import dialog could not read the collection file (missing, a folder, empty, locked, a
// path too long), for a message that names it; nothing when it can.
std::optional<std::string> CollectionProblem(const std::string& path);

}  // namespace puzzles
