#include <gtest/gtest.h>

#include "core/CommandLine.h"

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

TEST(CommandLine, AHandOverCarriesTheFilesAndNothingMalformedIsRead)
{
    const std::vector<std::string> files{"C:\\a b.cw3", "D:\\c.ws3"};
    const auto bytes = app::EncodeHandOver(files);
    EXPECT_EQ(app::DecodeHandOver(bytes.data(), bytes.size()), files);
    EXPECT_EQ(app::DecodeHandOver(nullptr, 0), std::vector<std::string>{});

    const std::string longPath = "C:\\" + std::string(app::kHandOverMaxPath, 'x');
    std::string tooMany;
    for (std::size_t i = 0; i <= app::kHandOverMaxFiles; ++i)
        tooMany += std::string("C:\\f.cw3") + '\0';
    const std::string malformed[] = {
        std::string("C:\\a.cw3"),                       // no zero byte at the end
        std::string("C:\\a.cw3\0\0", 10),               // an empty path
        std::string("\0", 1),                           // only an empty path
        longPath + '\0',                                // a path longer than any path
        tooMany,                                        // more files than any start names
        std::string(app::kHandOverMaxBytes + 1, '\0'),  // more bytes than the bound
        // Relative paths: the receiver would read them against its own current folder.
        std::string("only-here.cw3\0", 14),
        std::string(".\\a.cw3\0", 8),
        std::string("C:a.cw3\0", 8),
        std::string("\\a.cw3\0", 7),
        std::string("C:\\a.cw3\0sub\\b.cw3\0", 19),
    };
    for (const auto& m : malformed)
        EXPECT_EQ(app::DecodeHandOver(m.data(), m.size()), std::nullopt) << m.size();
}
