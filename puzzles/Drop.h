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

struct CollectionsOutcome {
    // The files the import dialog can read, in their order.
    std::vector<std::string> Readable;
    // One message for all the others, each named with why it cannot be read (missing, a folder,
    // empty, locked, a path too long, not a collection, shorter than one puzzle); empty when
    // there are none.
    std::string Report;
};
// Checks every collection file named from outside (a hand-over, the command line) before any
// import dialog opens: no file dialog has checked them.
CollectionsOutcome SortOutCollections(const std::vector<std::string>& paths);

}  // namespace puzzles
