#include "ui/Pictures.h"

#include <algorithm>
#include <cmath>

#include "win/Dpi.h"
#include "win/Handles.h"

namespace win {

HIMAGELIST LoadPictureStrip(UINT dpi, const int (&stripIds)[3], int count)
{
    const int size = PictureSize(dpi);
    const int stripId = stripIds[size == 32 ? 2 : size == 24 ? 1 : 0];
    HIMAGELIST images = ::ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, count, 0);
    UniqueGdiObject strip(
        ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(stripId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ::ImageList_AddMasked(images, static_cast<HBITMAP>(strip.get()), RGB(255, 0, 255));
    return images;
}
namespace {

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP info{};
    if (bitmap == nullptr || ::GetObjectA(bitmap, sizeof(info), &info) == 0)
        return {0, 0};
    return {info.bmWidth, std::abs(info.bmHeight)};
}

HBITMAP CreateRgbBitmap(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

// Draws the source over the rectangle of the target, through two memory device contexts.
void StretchInto(HBITMAP target, const RECT& place, HBITMAP source, COLORREF background, bool fill)
{
    HDC screen = ::GetDC(nullptr);
    HDC to = ::CreateCompatibleDC(screen);
    HDC from = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ oldTo = ::SelectObject(to, target);
    HGDIOBJ oldFrom = ::SelectObject(from, source);
    if (fill) {
        const SIZE whole = BitmapSize(target);
        RECT all{0, 0, whole.cx, whole.cy};
        HBRUSH brush = ::CreateSolidBrush(background);
        ::FillRect(to, &all, brush);
        ::DeleteObject(brush);
    }
    const SIZE size = BitmapSize(source);
    ::SetStretchBltMode(to, HALFTONE);
    ::SetBrushOrgEx(to, 0, 0, nullptr);
    ::StretchBlt(to, place.left, place.top, place.right - place.left, place.bottom - place.top, from, 0, 0, size.cx,
                 size.cy, SRCCOPY);
    ::SelectObject(from, oldFrom);
    ::SelectObject(to, oldTo);
    ::DeleteDC(from);
    ::DeleteDC(to);
}

}  // namespace

SIZE FittedSize(SIZE picture, SIZE box, double factor)
{
    if (picture.cx <= 0 || picture.cy <= 0 || box.cx <= 0 || box.cy <= 0)
        return {0, 0};
    const double fit =
        std::min({factor, static_cast<double>(box.cx) / picture.cx, static_cast<double>(box.cy) / picture.cy});
    const auto side = [fit](LONG length, LONG most) {
        return std::clamp(static_cast<LONG>(std::lround(length * fit)), LONG{1}, most);
    };
    return {side(picture.cx, box.cx), side(picture.cy, box.cy)};
}

HBITMAP ScaledBitmap(HBITMAP source, int width, int height)
{
    if (BitmapSize(source).cx == 0 || width <= 0 || height <= 0)
        return nullptr;
    HBITMAP scaled = CreateRgbBitmap(width, height);
    if (scaled != nullptr)
        StretchInto(scaled, RECT{0, 0, width, height}, source, 0, false);
    return scaled;
}

HBITMAP FittedBitmap(HBITMAP source, SIZE box, double factor, COLORREF background)
{
    const SIZE fitted = FittedSize(BitmapSize(source), box, factor);
    if (fitted.cx == 0)
        return nullptr;
    HBITMAP result = CreateRgbBitmap(box.cx, box.cy);
    if (result == nullptr)
        return nullptr;
    const LONG left = (box.cx - fitted.cx) / 2, top = (box.cy - fitted.cy) / 2;
    StretchInto(result, RECT{left, top, left + fitted.cx, top + fitted.cy}, source, background, true);
    return result;
}

}  // namespace win
