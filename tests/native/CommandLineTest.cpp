#include <gtest/gtest.h>

#include "app/CommandLine.h"

TEST(CommandLine, TheFilesAfterImportAreTakenInTheirOrder)
{
    struct Case {
        std::vector<std::string> arguments;
        std::vector<std::string> files;
    };
    const Case cases[] = {
        {{}, {}},
        {{"gridlark.exe"}, {}},
        {{"gridlark.exe", "--import"}, {}},
        {{"gridlark.exe", "--import", "C:\\a.cw3"}, {"C:\\a.cw3"}},
        {{"gridlark.exe", "--import", "C:\\a b.cw3", "", "D:\\c.ws3"}, {"C:\\a b.cw3", "D:\\c.ws3"}},
        {{"--import", "gridlark.exe"}, {}},  // the program's own path is never an argument
        {{"gridlark.exe", "C:\\a.cw3"}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(app::ImportArguments(c.arguments), c.files);
}
