#include "core/HelpRules.h"

#include "core/Text.h"
#include "core/WebHosts.h"

namespace help {

std::vector<std::string> LibraryCandidates(const std::string& pathValue)
{
    std::vector<std::string> candidates;
    for (const std::string& folder : text::AbsoluteSearchFolders(pathValue))
        candidates.push_back(folder + kLibraryName);
    return candidates;
}

std::string HelpFilePath(const std::string& helpFile, const std::string& programFolder)
{
    if (!text::Trim(text::ExtractFilePath(helpFile)).empty())
        return helpFile;
    std::string folder = programFolder;
    if (!folder.empty())
        folder = text::IncludeTrailingBackslash(folder);
    return folder + helpFile;
}

std::string TopicAddress(const std::string& helpFilePath, const std::string& topic)
{
    if (topic.empty())
        return helpFilePath + "::\\Contents.htm";
    if (topic.find(".htm") != std::string::npos)
        return helpFilePath + "::\\" + topic;
    return helpFilePath + "::\\" + topic + ".htm";
}

std::string MissingFileMessage(const std::string& helpFile)
{
    return "Could not locate the file, \"" + helpFile + ".\"\r\nHelp cannot be displayed.";
}

std::string NotInstalledMessage(const std::string& title)
{
    return title + " uses the new Microsoft Help File Format called" +
           "HTML Help which is not installed on this computer." + "\r\n" + "Before you can use " + title +
           " Help, you will need to install HTML Help" + "\r\n\r\n" +
           "To install HTML, install the latest version of Microsoft's " +
           "Internet Explorer, or download the HTML Help Update utility " + "from " + web::kPlatformVendorSite;
}

}  // namespace help
