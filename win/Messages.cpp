#include "win/Messages.h"

#include "core/Text.h"

namespace win {
namespace {

// Characters per line of a run: a box of this many fits a screen of 640 pixels at 96 DPI. A line
// longer than three such lines is shortened in its middle, so that the box also fits in height.
constexpr std::size_t kLineRun = 80;
constexpr std::size_t kLongestLine = 3 * kLineRun;

}  // namespace

int ShowMessage(HWND owner, const std::string& text, const char* caption, UINT flags)
{
    return ::MessageBoxA(owner, text::WrapLongRuns(text::ShortenLongLines(text, kLongestLine), kLineRun).c_str(),
                         caption, flags);
}

}  // namespace win
