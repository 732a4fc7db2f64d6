// The test bench itself: the program's version resource, the stubs, the message box capture, the
// registry denial seam and the JPEG library.
#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <jpeglib.h>
#include <vector>

#include "settings/Settings.h"
#include "tests/win/TestSupport.h"
#include "win/Registry.h"

using namespace testing_support;

namespace {

std::string VersionString(const std::vector<char>& block, const std::string& name)
{
    char* value = nullptr;
    UINT length = 0;
    std::string path = "\\StringFileInfo\\040904E4\\" + name;
    if (!::VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || length == 0)
        return {};
    return std::string(value);
}

}  // namespace

TEST(VersionResource, ReadsBackThroughTheVersionApi)
{
    std::string exe = DistFolder() + "gridlark.exe";
    DWORD handle = 0;
    DWORD size = ::GetFileVersionInfoSizeA(exe.c_str(), &handle);
    ASSERT_GT(size, 0u) << exe;
    std::vector<char> block(size);
    ASSERT_TRUE(::GetFileVersionInfoA(exe.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(1, 2));

    EXPECT_EQ(VersionString(block, "CompanyName"), "Orvanel");
    EXPECT_EQ(VersionString(block, "FileVersion"), "1.0.2.1");
    EXPECT_EQ(VersionString(block, "OriginalFilename"), "gridlark.exe");
    EXPECT_EQ(VersionString(block, "ProductName"), "Gridlark");
    for (const char* name :
         {"FileDescription", "InternalName", "LegalCopyright", "LegalTradeMarks", "ProductVersion", "Comments"})
        EXPECT_FALSE(VersionString(block, name).empty()) << name;

    WORD* translation = nullptr;
    ASSERT_TRUE(
        ::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1252);
}

TEST(Stubs, RecordProgramParametersAndFolderOfAShellStart)
{
    TempFolder temp;
    StubLog log(temp);
    struct Case {
        std::string program;
        std::string parameters;
    };
    const Case cases[] = {{"javaw.exe", "-jar Crossword.jar \"C:\\Puzzles\\Cats.JGF\" --nosound"},
                          {"Relaybug.Exe", "\"C:\\Gridlark\\Error - gridlark.exe.txt\""}};
    for (const auto& c : cases) {
        auto result = reinterpret_cast<INT_PTR>(::ShellExecuteA(nullptr, "open", (StubsFolder() + c.program).c_str(),
                                                                c.parameters.c_str(), temp.Path().c_str(), SW_SHOW));
        ASSERT_GT(result, 32) << c.program;
    }
    auto records = log.WaitFor(2);
    ASSERT_EQ(records.size(), 2u);
    // The two programs may finish in either order.
    for (const auto& c : cases) {
        auto r = std::find_if(records.begin(), records.end(), [&](const auto& x) { return x.program == c.program; });
        ASSERT_NE(r, records.end()) << c.program;
        EXPECT_EQ(r->parameters, c.parameters);
        EXPECT_EQ(r->folder + "\\", temp.Path());
    }
}

TEST(Stubs, BrowserRecordsEachWebAddress)
{
    TempFolder temp;
    StubLog log(temp);
    for (const char* address : {"http://puzzles.orvanel.example/a.htm", "https://www.orvanel.example/b?ID=X"})
        ::ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOW);
    auto records = log.WaitFor(2);
    ASSERT_EQ(records.size(), 2u);
    std::vector<std::string> seen{records[0].parameters, records[1].parameters};
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen[0], "http://puzzles.orvanel.example/a.htm");
    EXPECT_EQ(seen[1], "https://www.orvanel.example/b?ID=X");
}

TEST(MessageBoxCapture, ReadsCaptionTextIconAndButtonsAndPresses)
{
    WindowCatcher catcher("No");
    int answer = ::MessageBoxA(nullptr, "Line one\r\nLine two", "A caption", MB_YESNO | MB_ICONERROR);
    CapturedWindow box = catcher.Result();
    ASSERT_TRUE(box.found);
    EXPECT_EQ(answer, IDNO);
    EXPECT_EQ(box.caption, "A caption");
    ASSERT_EQ(box.texts.size(), 1u);
    EXPECT_EQ(box.texts[0], "Line one\r\nLine two");
    EXPECT_EQ(box.iconName, "IDI_HAND");
    EXPECT_EQ(box.buttons, (std::vector<std::string>{"Yes", "No"}));
}

TEST(RegistryDenial, RefusesWritingTheMachineKeyButStillReads)
{
    ClearProductKeys();
    {
        win::RegistryAccessor writer(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(writer.OpenKey(ProductKeyPath, true));
        ASSERT_TRUE(writer.WriteString("Repository", "C:\\Kept"));
    }
    {
        MachineKeyDenied denied;
        win::RegistryAccessor machine(HKEY_LOCAL_MACHINE);
        EXPECT_FALSE(machine.OpenKey(ProductKeyPath, true));
        EXPECT_FALSE(machine.CreateKey("Software\\Orvanel\\Other"));
        ASSERT_TRUE(machine.OpenKeyReadOnly(ProductKeyPath));
        EXPECT_EQ(machine.ReadString("Repository").value_or(""), "C:\\Kept");
        win::RegistryAccessor user(HKEY_CURRENT_USER);
        EXPECT_TRUE(user.OpenKey(ProductKeyPath, true));
    }
    win::RegistryAccessor machine(HKEY_LOCAL_MACHINE);
    EXPECT_TRUE(machine.OpenKey(ProductKeyPath, true));
    ClearProductKeys();
}

TEST(JpegLibrary, DecodesWhatItEncoded)
{
    constexpr int kWidth = 8, kHeight = 4;
    const std::string jpeg = SolidJpeg(kWidth, kHeight, 200, 200, 200);
    const auto* encoded = reinterpret_cast<const unsigned char*>(jpeg.data());
    const auto encodedSize = static_cast<unsigned long>(jpeg.size());
    ASSERT_GT(encodedSize, 0u);
    jpeg_decompress_struct d{};
    jpeg_error_mgr err{};
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, encoded, encodedSize);
    ASSERT_EQ(jpeg_read_header(&d, TRUE), JPEG_HEADER_OK);
    jpeg_start_decompress(&d);
    EXPECT_EQ(d.output_width, static_cast<JDIMENSION>(kWidth));
    EXPECT_EQ(d.output_height, static_cast<JDIMENSION>(kHeight));
    std::vector<unsigned char> row(d.output_width * d.output_components);
    JSAMPROW rowPointer = row.data();
    while (d.output_scanline < d.output_height) {
        jpeg_read_scanlines(&d, &rowPointer, 1);
        EXPECT_NEAR(row[0], 200, 4);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
}
