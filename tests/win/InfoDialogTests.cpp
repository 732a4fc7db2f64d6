// The about box and Download More Puzzles in-process: their texts, the links as the stub browser
// records them, and the logo decoded with libjpeg, a damaged one included.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

#include "info/About.h"
#include "info/DownloadWindow.h"
#include "res/resource.h"
#include "settings/Settings.h"
#include "tests/win/TestSupport.h"
#include "ui/Jpeg.h"
#include "win/Paths.h"
#include "win/Registry.h"

using namespace testing_support;

namespace {

// A JPEG whose header claims a size of its own: the frame header's height and width replaced.
std::string ClaimingSize(std::string jpeg, int width, int height)
{
    const auto frame = jpeg.find("\xFF\xC0");
    jpeg[frame + 5] = static_cast<char>(height >> 8), jpeg[frame + 6] = static_cast<char>(height & 0xFF);
    jpeg[frame + 7] = static_cast<char>(width >> 8), jpeg[frame + 8] = static_cast<char>(width & 0xFF);
    return jpeg;
}

COLORREF PixelOf(HBITMAP bitmap, int x, int y)
{
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ previous = ::SelectObject(dc, bitmap);
    COLORREF colour = ::GetPixel(dc, x, y);
    ::SelectObject(dc, previous);
    ::DeleteDC(dc);
    return colour;
}

bool Near(COLORREF a, COLORREF b)
{
    return std::abs(GetRValue(a) - GetRValue(b)) < 12 && std::abs(GetGValue(a) - GetGValue(b)) < 12 &&
           std::abs(GetBValue(a) - GetBValue(b)) < 12;
}

std::string Text(const win::Dialog& dialog, int id) { return dialog.ItemText(id); }

void Click(const win::Dialog& dialog, int id)
{
    ::SendMessageA(dialog.Handle(), WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), reinterpret_cast<LPARAM>(dialog.Item(id)));
}

void SetInstallFile(const char* path)
{
    win::RegistryAccessor machine(HKEY_LOCAL_MACHINE);
    machine.OpenKey(ProductKeyPath, true);
    machine.WriteString("Install File", path);
}

}  // namespace

TEST(AboutBox, ShowsTheVersionResourceOfTheProgramAndOfAFlaggedTestBuild)
{
    struct Case {
        std::string file;
        std::string caption, version, build, buildNumber, attributes;
    };
    const Case cases[] = {
        {"", "About Gridlark", "Version 1.0b", "build 1", "1.0.2.1", ""},
        {StubsFolder() + "versioned.exe", "About Gridlark Test Edition", "Version 1.0.25", "build 3", "1.0.25.3",
         "[Pre-release version]"},
    };
    for (const auto& c : cases) {
        AboutBox box(c.file);
        box.CreateModeless(nullptr);
        char caption[128] = {};
        ::GetWindowTextA(box.Handle(), caption, sizeof(caption));
        EXPECT_EQ(caption, c.caption);
        EXPECT_EQ(Text(box, IDC_ABOUT_PRODUCTNAME), box.version.ProductName);
        EXPECT_EQ(Text(box, IDC_ABOUT_PRODUCTNAME2), box.version.ProductName);
        EXPECT_EQ(Text(box, IDC_ABOUT_TRADEMARK), "TM");
        EXPECT_EQ(Text(box, IDC_ABOUT_VERSION), c.version);
        EXPECT_EQ(Text(box, IDC_ABOUT_BLDNUM), c.build);
        EXPECT_EQ(Text(box, IDC_ABOUT_BUILDNUM), c.buildNumber);
        EXPECT_EQ(Text(box, IDC_ABOUT_ATTRIBUTES), c.attributes);
        EXPECT_EQ(Text(box, IDC_ABOUT_COPYRIGHT), box.version.LegalCopyright);
        EXPECT_EQ(Text(box, IDC_ABOUT_RIGHTS), "All Rights Reserved");
        EXPECT_EQ(Text(box, IDC_ABOUT_COMMENTS), box.version.Comments);
        EXPECT_EQ(Text(box, IDC_ABOUT_TITLEVERSION), "");
        EXPECT_EQ(Text(box, IDC_ABOUT_WEBSITEORV), "http://www.orvanel.example");
        EXPECT_EQ(Text(box, IDC_ABOUT_PRODUCTSITE), "http://puzzles.orvanel.example/gridlark");
    }
}

TEST(AboutBox, TheProductNameIsFittedBetween35And13Points)
{
    for (const auto& [name, points] : {std::pair<std::string, int>{"Gl", 35}, {std::string(200, 'W'), 13}}) {
        AboutBox box;
        box.version.ProductName = name;
        box.CreateModeless(nullptr);
        EXPECT_EQ(box.ProductNamePoints(), points) << name.size();
        // The label is as high as a "W" of the chosen font.
        HWND label = box.Item(IDC_ABOUT_PRODUCTNAME);
        RECT bounds{};
        ::GetWindowRect(label, &bounds);
        HDC dc = ::GetDC(label);
        HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(label, WM_GETFONT, 0, 0)));
        SIZE w{};
        ::GetTextExtentPoint32A(dc, "W", 1, &w);
        ::SelectObject(dc, previous);
        ::ReleaseDC(label, dc);
        EXPECT_EQ(bounds.bottom - bounds.top, w.cy);
    }
}

TEST(AboutBox, LinksOpenTheirAddressWithTheReferralSuffix)
{
    ClearProductKeys();
    TempFolder temp;
    StubLog log(temp);
    AboutBox box;
    box.CreateModeless(nullptr);
    Click(box, IDC_ABOUT_PRODUCTSITE);
    log.WaitFor(1);
    SetInstallFile("C:\\Downloads\\setup-A7X2.exe");
    Click(box, IDC_ABOUT_WEBSITEORV);
    auto records = log.WaitFor(2);
    ClearProductKeys();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].parameters, "http://puzzles.orvanel.example/gridlark");
    EXPECT_EQ(records[1].parameters, "http://www.orvanel.example?ID=A7X2");
}

namespace {

// The logo's place in the box and the colour at its middle and near its top edge.
struct ShownLogo {
    RECT place{};
    COLORREF middle = 0, top = 0;
    bool overlapsText = false;
};

ShownLogo ShowAboutBox()
{
    AboutBox box;
    box.CreateModeless(nullptr);
    ShownLogo shown;
    HWND control = box.Item(IDC_ABOUT_LOGO);
    ::GetWindowRect(control, &shown.place);
    auto logo = reinterpret_cast<HBITMAP>(::SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (logo == nullptr)
        return shown;
    BITMAP info{};
    ::GetObjectA(logo, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, shown.place.right - shown.place.left);
    EXPECT_EQ(std::abs(info.bmHeight), shown.place.bottom - shown.place.top);
    shown.middle = PixelOf(logo, info.bmWidth / 2, std::abs(info.bmHeight) / 2);
    shown.top = PixelOf(logo, info.bmWidth / 2, 2);
    for (int id : {IDC_ABOUT_PRODUCTNAME, IDC_ABOUT_WEBSITEORV, IDC_ABOUT_TITLEVERSION}) {
        RECT text{}, both{};
        ::GetWindowRect(box.Item(id), &text);
        shown.overlapsText = shown.overlapsText || ::IntersectRect(&both, &text, &shown.place);
    }
    return shown;
}

}  // namespace

TEST(AboutBox, AUsersLogoReplacesTheStoredOneFittedIntoItsBoxUnlessItIsDamagedOrTooSlow)
{
    const std::string custom = win::ProgramFolder() + "custLogo.jpg";
    ::DeleteFileA(custom.c_str());
    const ShownLogo stored = ShowAboutBox();
    EXPECT_FALSE(stored.overlapsText);
    const COLORREF red = RGB(230, 20, 20), white = RGB(255, 255, 255);
    const std::string small = SolidJpeg(40, 30, 230, 20, 20);
    struct Case {
        const char* what;
        std::string bytes;
        bool shown;
        COLORREF top;  // near the top edge: a wide logo leaves white above it
    };
    const Case cases[] = {
        {"a small red picture", small, true, white},
        {"300 by 80, wider than its box", SolidJpeg(300, 80, 230, 20, 20), true, white},
        {"800 by 800, far larger than its box", SolidJpeg(800, 800, 230, 20, 20), true, red},
        {"100 progressive scans", SolidJpeg(64, 64, 230, 20, 20, 100), true, red},
        {"190 progressive scans", SolidJpeg(64, 64, 230, 20, 20, 190), false, stored.top},
        {"not a picture", "this is no JPEG at all", false, stored.top},
        {"cut short", small.substr(0, small.size() / 2), false, stored.top},
        {"20,000 by 20,000", ClaimingSize(small, 20000, 20000), false, stored.top},
    };
    for (const auto& c : cases) {
        WriteFileText(custom, c.bytes);
        const ShownLogo shown = ShowAboutBox();
        EXPECT_TRUE(::EqualRect(&shown.place, &stored.place)) << c.what;
        EXPECT_FALSE(shown.overlapsText) << c.what;
        EXPECT_TRUE(Near(shown.middle, c.shown ? red : stored.middle)) << c.what;
        EXPECT_TRUE(Near(shown.top, c.top)) << c.what;
    }
    ::DeleteFileA(custom.c_str());
}

TEST(Jpeg, DamagedOrHugeDataGivesNoPictureAndNoFailure)
{
    const std::string good = SolidJpeg(16, 16, 0, 128, 255);
    const std::string cases[] = {"",
                                 "GIF89a",
                                 good.substr(0, 40),
                                 good.substr(0, good.size() - 20),
                                 ClaimingSize(good, 20000, 20000),
                                 ClaimingSize(good, 65535, 1)};
    for (const auto& bytes : cases)
        EXPECT_EQ(win::DecodeJpeg(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), nullptr)
            << bytes.size();
    HBITMAP decoded = win::DecodeJpeg(reinterpret_cast<const std::uint8_t*>(good.data()), good.size());
    ASSERT_NE(decoded, nullptr);
    EXPECT_TRUE(Near(PixelOf(decoded, 8, 8), RGB(0, 128, 255)));
    ::DeleteObject(decoded);
}

TEST(DownloadMorePuzzles, ShowsFiveFullAddressesAndOpensEachWithTheSuffix)
{
    ClearProductKeys();
    SetInstallFile("C:\\Downloads\\setup-TAG.exe");
    TempFolder temp;
    StubLog log(temp);
    DownloadWindow dialog;
    dialog.CreateModeless(nullptr);
    char caption[64] = {};
    ::GetWindowTextA(dialog.Handle(), caption, sizeof(caption));
    EXPECT_STREQ(caption, "Download More Puzzles");
    RECT client{};
    ::GetClientRect(dialog.Handle(), &client);
    EXPECT_EQ(client.right, 318);
    EXPECT_EQ(client.bottom, 229);
    EXPECT_EQ(Text(dialog, IDC_DOWNLOAD_TEXT1),
              "Additional puzzles can be downloaded from any of the websites listed below.  "
              "Simply click on a link and your web browser will be opened to that location.");
    EXPECT_EQ(Text(dialog, IDC_DOWNLOAD_TEXT2),
              "Additionally, you can create your own puzzles using one of our construction "
              "kits.  Click on either of the links below to find more information.");
    const int links[] = {IDC_DOWNLOAD_LINK1, IDC_DOWNLOAD_LINK2, IDC_DOWNLOAD_LINK3, IDC_DOWNLOAD_LINK4,
                         IDC_DOWNLOAD_LINK5};
    const std::string addresses[] = {"http://puzzles.orvanel.example/",
                                     "http://latticor.orvanel.example/collections.htm",
                                     "http://huntgrid.orvanel.example/collections.htm",
                                     "http://latticor.orvanel.example/", "http://huntgrid.orvanel.example/"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Text(dialog, links[i]), addresses[i]);
        Click(dialog, links[i]);
        log.WaitFor(static_cast<std::size_t>(i) + 1);
    }
    auto records = log.WaitFor(5);
    ClearProductKeys();
    ASSERT_EQ(records.size(), 5u);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(records[static_cast<std::size_t>(i)].parameters, addresses[i] + "?ID=TAG");
}
