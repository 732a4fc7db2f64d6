#include "info/About.h"

#include "res/resource.h"
#include "core/WebHosts.h"
#include "info/WebLinks.h"
#include "ui/Fonts.h"
#include "win/Dpi.h"
#include "ui/Jpeg.h"
#include "win/LazyApi.h"
#include "win/Paths.h"
#include "ui/Pictures.h"

namespace {

constexpr const char* kCustomLogo = "custLogo.jpg";
constexpr const char* kStoredLogo = "LOGO_JPEG";
constexpr const char* kProductNameFont = "Times New Roman";
constexpr int kLargestPoints = 35;
constexpr int kSmallestPoints = 13;
constexpr int kPanelHeightUnits = 60;
constexpr int kTitleGap = 40;
constexpr const char* kProductPagePath = "/gridlark";
// The logo's place: a logo of any size is drawn into it, never past it.
constexpr RECT kLogoBoxUnits{8, 8, 51, 48};
constexpr int kPanelControls[] = {IDC_ABOUT_LOGO, IDC_ABOUT_PRODUCTNAME, IDC_ABOUT_TRADEMARK, IDC_ABOUT_TITLEVERSION};

std::string WithoutVersionMarker(const std::string& shortVersion)
{
    const std::string marker = " v ";
    return shortVersion.rfind(marker, 0) == 0 ? shortVersion.substr(marker.size()) : shortVersion;
}

HFONT ProductNameFont(HDC dc, int points)
{
    return ::CreateFontA(-::MulDiv(points, ::GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                         DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         VARIABLE_PITCH | FF_ROMAN, kProductNameFont);
}

}  // namespace

AboutBox::AboutBox(const std::string& versionFile)
    : win::Dialog(IDD_ABOUT, "About.htm"),
      version(versionFile.empty() ? VersionResource() : VersionResource(versionFile))
{
}

std::string AboutBox::ProductWebSite() { return std::string(web::kPuzzleSite) + kProductPagePath; }
std::string AboutBox::CorporateWebSite() { return web::kCorporateSite; }

bool AboutBox::OnCreate()
{
    white_.reset(::CreateSolidBrush(RGB(255, 255, 255)));
    StartScan();
    return StartAt(IDOK);
}

// The user's own logo beside the program replaces the stored one; a damaged one is passed over.
void AboutBox::LoadLogo()
{
    const std::string custom = win::ProgramFolder() + kCustomLogo;
    if (win::FileExists(custom))
        logo_.reset(win::LoadJpegFile(custom));
    if (!logo_)
        logo_.reset(win::LoadJpegResource(kStoredLogo));
    ShowLogo();
}

// The logo grows with the DPI as the text does, and shrinks to fit its box, keeping its shape.
void AboutBox::ShowLogo()
{
    RECT box = kLogoBoxUnits;
    ::MapDialogRect(Handle(), &box);
    const SIZE size{box.right - box.left, box.bottom - box.top};
    const double factor = static_cast<double>(win::WindowDpi(Handle())) / win::kBaseDpi;
    shownLogo_.reset(win::FittedBitmap(static_cast<HBITMAP>(logo_.get()), size, factor, RGB(255, 255, 255)));
    HWND control = Item(IDC_ABOUT_LOGO);
    ::SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(shownLogo_.get()));
    ::SetWindowPos(control, nullptr, box.left, box.top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void AboutBox::StartScan()
{
    LoadLogo();
    const std::string& name = version.ProductName;
    ::SetWindowTextA(Handle(), ("About " + name).c_str());
    ::SetDlgItemTextA(Handle(), IDC_ABOUT_PRODUCTNAME, name.c_str());
    ::SetDlgItemTextA(Handle(), IDC_ABOUT_PRODUCTNAME2, name.c_str());
    ::SetDlgItemTextA(Handle(), IDC_ABOUT_COMMENTS, version.Comments.c_str());
    ::SetDlgItemTextA(Handle(), IDC_ABOUT_TRADEMARK, "TM");
    ::SendDlgItemMessageA(Handle(), IDC_ABOUT_ICON, STM_SETICON,
                          reinterpret_cast<WPARAM>(::LoadIconA(::GetModuleHandleA(nullptr), "MAINICON")), 0);
    FitProductName();
    ::SetDlgItemTextA(Handle(), IDC_ABOUT_VERSION, ("Version " + WithoutVersionMarker(version.ShortVersion())).c_str());
    ::SetDlgItemTextA(Handle(), IDC_ABOUT_TITLEVERSION, "");
    const std::string build = version.Major + "." + version.Minor + "." + version.Release + "." + version.Build;
    ::SetDlgItemTextA(Handle(), IDC_ABOUT_BUILDNUM, build.c_str());
    ::SetDlgItemTextA(Handle(), IDC_ABOUT_BLDNUM, ("build " + version.Build).c_str());
    ::SetDlgItemTextA(Handle(), IDC_ABOUT_COPYRIGHT, version.LegalCopyright.c_str());
    const std::string flags = version.FlagsText.empty() ? "" : "[" + version.FlagsText + "]";
    ::SetDlgItemTextA(Handle(), IDC_ABOUT_ATTRIBUTES, flags.c_str());
    ::SetDlgItemTextA(Handle(), IDC_ABOUT_WEBSITEORV, CorporateWebSite().c_str());
    ::SetDlgItemTextA(Handle(), IDC_ABOUT_PRODUCTSITE, ProductWebSite().c_str());
    vendorSiteLink_.SetTransparent(true);
    vendorSiteLink_.Attach(Item(IDC_ABOUT_WEBSITEORV));
    productSiteLink_.Attach(Item(IDC_ABOUT_PRODUCTSITE));
    // The box comes to the front once it shows.
    ::PostMessageA(Handle(), WM_ABOUT_SHOWN, 0, 0);
}

int AboutBox::PanelHeight() const
{
    RECT panel{0, 0, 0, kPanelHeightUnits};
    ::MapDialogRect(Handle(), &panel);
    return panel.bottom;
}

// The largest size from 35 down to 13 points at which the name fits the label's width; the label
// as high as a "W" of that size, its top halfway down the panel.
void AboutBox::FitProductName()
{
    HWND label = Item(IDC_ABOUT_PRODUCTNAME);
    RECT bounds{};
    ::GetWindowRect(label, &bounds);
    ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&bounds), 2);
    const int width = bounds.right - bounds.left;
    HDC dc = ::GetDC(label);
    int points = kLargestPoints;
    for (;; --points) {
        productNameFont_.reset(ProductNameFont(dc, points));
        if (points == kSmallestPoints || win::TextSize(dc, productNameFont_.get(), version.ProductName).cx < width)
            break;
    }
    const int height = win::TextSize(dc, productNameFont_.get(), "W").cy;
    ::ReleaseDC(label, dc);
    productNamePoints_ = points;
    ::SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(productNameFont_.get()), FALSE);
    RECT title{};
    ::GetWindowRect(Item(IDC_ABOUT_TITLEVERSION), &title);
    const int gap = win::Scaled(kTitleGap, win::WindowDpi(Handle()));
    const double top = (PanelHeight() - (title.bottom - title.top) - gap) / 2.0;
    ::SetWindowPos(label, nullptr, bounds.left, static_cast<int>(top + 0.5), width, height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(label, nullptr, TRUE);
    KeepLinkBelow(static_cast<int>(top + 0.5) + height);
}

// A large name font grows faster than the dialog's units: the maker's link under the name moves
// down as far as the name reaches, so the name never hides it.
void AboutBox::KeepLinkBelow(int nameBottom)
{
    HWND link = Item(IDC_ABOUT_WEBSITEORV);
    RECT place{};
    ::GetWindowRect(link, &place);
    ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&place), 2);
    if (place.top < nameBottom)
        ::SetWindowPos(link, nullptr, place.left, nameBottom, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void AboutBox::OpenProductSite()
{
    win::OpenWithShell(Handle(), nullptr, (ProductWebSite() + LinkReferralSuffix()).c_str(), nullptr, nullptr,
                       SW_SHOWNORMAL);
}

void AboutBox::OpenVendorSite()
{
    win::OpenWithShell(Handle(), nullptr, (CorporateWebSite() + LinkReferralSuffix()).c_str(), nullptr, nullptr,
                       SW_SHOWNORMAL);
}

bool AboutBox::OnCommand(int id, int code, HWND control)
{
    if (code == STN_CLICKED && id == IDC_ABOUT_PRODUCTSITE) {
        OpenProductSite();
        return true;
    }
    if (code == STN_CLICKED && id == IDC_ABOUT_WEBSITEORV) {
        OpenVendorSite();
        return true;
    }
    return win::Dialog::OnCommand(id, code, control);
}

// Controls on the white top panel paint on white.
HBRUSH AboutBox::PanelBrush(HWND control, HDC dc) const
{
    const int id = ::GetDlgCtrlID(control);
    for (int onPanel : kPanelControls) {
        if (id == onPanel) {
            ::SetBkColor(dc, RGB(255, 255, 255));
            return static_cast<HBRUSH>(white_.get());
        }
    }
    return nullptr;
}

bool AboutBox::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    switch (message) {
        case WM_ABOUT_SHOWN:
            BringToForeground(Handle());
            return true;
        case WM_ERASEBKGND: {
            auto dc = reinterpret_cast<HDC>(wParam);
            RECT client{};
            ::GetClientRect(Handle(), &client);
            ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
            client.bottom = PanelHeight();
            ::FillRect(dc, &client, static_cast<HBRUSH>(white_.get()));
            ::SetWindowLongPtrA(Handle(), DWLP_MSGRESULT, TRUE);
            result = TRUE;
            return true;
        }
        case WM_CTLCOLORSTATIC: {
            auto control = reinterpret_cast<HWND>(lParam);
            auto dc = reinterpret_cast<HDC>(wParam);
            HBRUSH brush = productSiteLink_.Paint(control, dc);
            if (brush == nullptr)
                brush = vendorSiteLink_.Paint(control, dc);
            if (brush == nullptr)
                brush = PanelBrush(control, dc);
            result = reinterpret_cast<INT_PTR>(brush);
            return brush != nullptr;
        }
        default:
            return false;
    }
}
