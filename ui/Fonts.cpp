#include "ui/Fonts.h"

#include "win/Dpi.h"

namespace win {

HFONT CreatePointFont(const char* name, int points, BYTE pitchAndFamily, UINT dpi)
{
    if (dpi == 0)
        dpi = WindowDpi(nullptr);
    const int height = -::MulDiv(points, static_cast<int>(dpi), 72);
    return ::CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, pitchAndFamily, name);
}

HFONT CreateBoldFontOf(HWND window)
{
    LOGFONTA font{};
    auto current = reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0));
    ::GetObjectA(current != nullptr ? current : ::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    font.lfWeight = FW_BOLD;
    return ::CreateFontIndirectA(&font);
}

SIZE TextSize(HDC dc, HFONT font, std::string_view text)
{
    HGDIOBJ previous = ::SelectObject(dc, font);
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, previous);
    return size;
}

SIZE TextSizeIn(HWND window, HFONT font, std::string_view text)
{
    HDC dc = ::GetDC(window);
    const SIZE size = TextSize(dc, font, text);
    ::ReleaseDC(window, dc);
    return size;
}

}  // namespace win
