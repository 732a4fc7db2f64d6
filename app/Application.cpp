#include "app/Application.h"

namespace app {
namespace {

std::string& TitleValue()
{
    static std::string title = kTitle;
    return title;
}

std::string& HelpFileValue()
{
    static std::string helpFile;
    return helpFile;
}

}  // namespace

std::string Title() { return TitleValue(); }
void SetTitle(const std::string& title) { TitleValue() = title; }
std::string HelpFile() { return HelpFileValue(); }
void SetHelpFile(const std::string& name) { HelpFileValue() = name; }

}  // namespace app
