#include "info/DownloadWindow.h"

#include "res/resource.h"
#include "core/WebHosts.h"
#include "info/WebLinks.h"
#include "ui/Fonts.h"
#include "win/Dpi.h"
#include "ui/Jpeg.h"
#include "win/LazyApi.h"
#include "ui/Pictures.h"

namespace {

constexpr int kClientWidth = 318;
constexpr int kClientHeight = 229;
constexpr int kLinkIds[] = {IDC_DOWNLOAD_LINK1, IDC_DOWNLOAD_LINK2, IDC_DOWNLOAD_LINK3, IDC_DOWNLOAD_LINK4,
                            IDC_DOWNLOAD_LINK5};
// The client area is the picture's, in pixels at 96 DPI, and so is the place of everything on it;
// at another DPI all of it grows in proportion, the picture drawn anew at the client's size.
struct Place {
    int id, left, top, width, height;
};
constexpr Place kPlaces[] = {
    {IDC_DOWNLOAD_TEXT1, 10, 4, 300, 52},   {IDC_DOWNLOAD_LINK1, 18, 58, 284, 14},
    {IDC_DOWNLOAD_LINK2, 18, 72, 284, 14},  {IDC_DOWNLOAD_LINK3, 18, 86, 284, 14},
    {IDC_DOWNLOAD_TEXT2, 10, 104, 300, 52}, {IDC_DOWNLOAD_LINK4, 18, 158, 284, 14},
    {IDC_DOWNLOAD_LINK5, 18, 172, 284, 14}, {IDCANCEL, 232, 200, 76, 23},
};
constexpr const char* kCollectionsPage = "/collections.htm";

}  // namespace

DownloadWindow::DownloadWindow() : win::Dialog(IDD_DOWNLOAD, "More_Puzzles.htm") {}

std::array<std::string, 5> DownloadWindow::LinkAddresses()
{
    return {std::string(web::kPuzzleSite) + "/", std::string(web::kLatticorSite) + kCollectionsPage,
            std::string(web::kHuntgridSite) + kCollectionsPage, std::string(web::kLatticorSite) + "/",
            std::string(web::kHuntgridSite) + "/"};
}

bool DownloadWindow::OnCreate()
{
    const UINT dpi = win::WindowDpi(Handle());
    const SIZE client{win::Scaled(kClientWidth, dpi), win::Scaled(kClientHeight, dpi)};
    RECT frame{0, 0, client.cx, client.cy};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongA(Handle(), GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongA(Handle(), GWL_EXSTYLE)));
    ::SetWindowPos(Handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Edges scaled, not sizes: controls that meet at 96 DPI still meet at any other.
    for (const Place& p : kPlaces) {
        const int left = win::Scaled(p.left, dpi), top = win::Scaled(p.top, dpi);
        ::SetWindowPos(Item(p.id), nullptr, left, top, win::Scaled(p.left + p.width, dpi) - left,
                       win::Scaled(p.top + p.height, dpi) - top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    picture_.reset(win::LoadJpegResource("MOREPUZZLES_JPEG"));
    if (dpi != win::kBaseDpi && picture_)
        picture_.reset(win::ScaledBitmap(static_cast<HBITMAP>(picture_.get()), client.cx, client.cy));
    boldFont_.reset(win::CreateBoldFontOf(Item(IDC_DOWNLOAD_TEXT1)));
    for (int id : {IDC_DOWNLOAD_TEXT1, IDC_DOWNLOAD_TEXT2})
        ::SendMessageA(Item(id), WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_.get()), FALSE);
    const auto addresses = LinkAddresses();
    for (std::size_t i = 0; i < links_.size(); ++i) {
        ::SetDlgItemTextA(Handle(), kLinkIds[i], addresses[i].c_str());
        links_[i].SetTransparent(true);
        links_[i].Attach(Item(kLinkIds[i]));
    }
    return StartAt(IDCANCEL);
}

// Every link opens its own text with the referral suffix.
void DownloadWindow::OpenLink(int link)
{
    const std::string address = ItemText(link) + LinkReferralSuffix();
    win::OpenWithShell(Handle(), "open", address.c_str(), nullptr, nullptr, SW_SHOW);
}

void DownloadWindow::PaintBackground(HDC dc) const
{
    RECT client{};
    ::GetClientRect(Handle(), &client);
    HDC memory = ::CreateCompatibleDC(dc);
    HGDIOBJ previous = ::SelectObject(memory, picture_.get());
    if (picture_)
        ::BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    else
        ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_WINDOW));
    ::SelectObject(memory, previous);
    ::DeleteDC(memory);
}

bool DownloadWindow::OnCommand(int id, int code, HWND control)
{
    for (int link : kLinkIds) {
        if (id == link) {
            if (code == STN_CLICKED)
                OpenLink(link);
            return true;
        }
    }
    return win::Dialog::OnCommand(id, code, control);
}

bool DownloadWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    if (message == WM_ERASEBKGND) {
        PaintBackground(reinterpret_cast<HDC>(wParam));
        ::SetWindowLongPtrA(Handle(), DWLP_MSGRESULT, TRUE);
        result = TRUE;
        return true;
    }
    if (message != WM_CTLCOLORSTATIC)
        return false;
    auto control = reinterpret_cast<HWND>(lParam);
    auto dc = reinterpret_cast<HDC>(wParam);
    for (const auto& link : links_) {
        if (HBRUSH brush = link.Paint(control, dc)) {
            result = reinterpret_cast<INT_PTR>(brush);
            return true;
        }
    }
    // The two texts stand on the picture.
    ::SetBkMode(dc, TRANSPARENT);
    result = reinterpret_cast<INT_PTR>(::GetStockObject(NULL_BRUSH));
    return true;
}
