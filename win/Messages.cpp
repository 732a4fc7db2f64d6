#include "win/Messages.h"

#include "core/Text.h"

namespace win {
namespace {

// Characters per line of a run: a box of this many fits a screen of 640 pixels at 96 DPI.
constexpr std::size_t kLongestRun = 80;

}  // namespace

int ShowMessage(HWND owner, const std::string& text, const char* caption, UINT flags)
{
    return ::MessageBoxA(owner, text::WrapLongRuns(text, kLongestRun).c_str(), caption, flags);
}

}  // namespace win
