#include "app/Application.h"

#include "core/Text.h"
#include "win/Paths.h"

namespace app {
namespace {

std::string& TitleValue()
{
    static std::string title = text::FileNameWithoutExt(win::ProgramFileName());
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
