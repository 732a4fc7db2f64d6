#include "app/CommandLine.h"

#include <algorithm>

namespace app {

std::vector<std::string> ImportArguments(const std::vector<std::string>& arguments)
{
    std::vector<std::string> files;
    if (arguments.empty())
        return files;
    auto import = std::find(arguments.begin() + 1, arguments.end(), kImportArgument);
    if (import == arguments.end())
        return files;
    for (auto file = import + 1; file != arguments.end(); ++file)
        if (!file->empty())
            files.push_back(*file);
    return files;
}

}  // namespace app
