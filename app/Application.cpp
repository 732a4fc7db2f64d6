#include "app/Application.h"

namespace app {
namespace {

std::string& TitleValue()
{
    static std::string title = kTitle;
    return title;
}

}  // namespace

std::string Title() { return TitleValue(); }
void SetTitle(const std::string& title) { TitleValue() = title; }

}  // namespace app
