#include "help/HelpRules.h"

#include <cctype>

#include "core/Text.h"
#include "settings/WebHosts.h"

namespace help {

bool IsAbsoluteFolder(const std::string& entry)
{
    const bool drive =
        entry.size() >= 3 && std::isalpha(static_cast<unsigned char>(entry[0])) && entry[1] == ':' && entry[2] == '\\';
    const bool share = entry.size() >= 3 && entry[0] == '\\' && entry[1] == '\\' && entry[2] != '\\';
    return drive || share;
}

std::vector<std::string> LibraryCandidates(const std::string& pathValue)
{
    std::vector<std::string> candidates;
    std::size_t start = 0;
    while (start <= pathValue.size()) {
        std::size_t end = pathValue.find(';', start);
        if (end == std::string::npos)
            end = pathValue.size();
        std::string entry = pathValue.substr(start, end - start);
        if (IsAbsoluteFolder(entry)) {
            if (entry.back() != '\\')
                entry += '\\';
            candidates.push_back(entry + kLibraryName);
        }
        start = end + 1;
    }
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
