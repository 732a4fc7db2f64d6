// What Gridlark does with a file dropped on its window, and how it tells the user what it could not
// take.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace puzzles {

// A collection opens the import dialog; a puzzle file is copied into the repository; anything else
// is refused. The extension decides, whatever its case.
enum class DroppedKind { Collection, Puzzle, Other };
DroppedKind KindOfDropped(std::string_view path);

// The extension a dropped puzzle file takes in the repository: ".JGF" or ".JWF", as the list
// and the launcher spell them.
std::string RepositoryExtension(std::string_view path);

struct DropProblem {
    std::string Path;
    std::string Reason;
};

// One message for the whole drop: the files that failed, each with its reason, and the files of
// kinds Gridlark does not take, with the kinds it does. Each list stops after a screenful, with a
// line that says how many more there are. Empty when there is nothing to tell.
std::string DropReport(const std::vector<DropProblem>& failed, const std::vector<std::string>& refused);

}  // namespace puzzles
